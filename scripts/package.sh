#!/usr/bin/env bash
# The release: builds Tarnwick.dll and TarnwickTray.exe, strips them (their debug
# information goes to .debug files beside, linked with --add-gnu-debuglink), and
# writes into dist/:
#   Tarnwick-<version>.msi           per-user installer (wixl, resources/Tarnwick.wxs)
#   Tarnwick-<version>.zip           the same files in a folder, for use without installing
#   Tarnwick-<version>-symbols.zip   the .debug files
#   SHA256SUMS
#
# Run as root, it first installs what it lacks (scripts/install-deps.sh), as the other commands do.
#
#   bash scripts/package.sh                  the product, from the i686 build (build/win32)
#   bash scripts/package.sh --twin           the same from the x86-64 twin (build/win64), into dist/twin
#   bash scripts/package.sh --version V      another version than the project's (x.y.z.w; for upgrade tests:
#                                            only the names and the installer's version change)
#   bash scripts/package.sh --out DIR        write into DIR instead
#
# The version is the project's (CMakeLists.txt), the one the version resources
# carry; the release is named without its third part, as the About page shows it
# (1.2.0.137 is 1.2.137), and the installer carries that as its ProductVersion.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

preset=win32
wix_arch=x86
tool_prefix=i686-w64-mingw32
out=
version=
while [ $# -gt 0 ]; do
  case $1 in
    --twin) preset=win64 wix_arch=x64 tool_prefix=x86_64-w64-mingw32 ;;
    --version) version=${2:?--version needs x.y.z.w}; shift ;;
    --out) out=${2:?--out needs a folder}; shift ;;
    *) echo "usage: bash scripts/package.sh [--twin] [--version x.y.z.w] [--out DIR]  (as root: installs what it lacks)" >&2; exit 2 ;;
  esac
  shift
done
if [ -z "$out" ]; then
  out=dist
  [ "$preset" = win64 ] && out=dist/twin
fi
if [ "$(id -u)" = 0 ]; then
  scripts/install-deps.sh
fi
for tool in wixl zip "$tool_prefix-objcopy" "$tool_prefix-strip"; do
  command -v "$tool" >/dev/null || { echo "package: $tool is missing (bash scripts/install-deps.sh)" >&2; exit 1; }
done

build="$root/build/$preset"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target Tarnwick TarnwickTray

[ -n "$version" ] || version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
if ! [[ $version =~ ^([0-9]+)\.([0-9]+)\.([0-9]+)\.([0-9]+)$ ]]; then
  echo "package: the version \"$version\" is not x.y.z.w" >&2
  exit 1
fi
release="${BASH_REMATCH[1]}.${BASH_REMATCH[2]}.${BASH_REMATCH[4]}"
name="Tarnwick-$release"

stage="$root/build/package/$preset"
rm -rf "$stage"
mkdir -p "$stage/files" "$stage/symbols" "$out"
out=$(cd "$out" && pwd)

# The same sources give the same files: binutils and zip take their times from the
# last commit instead of the clock.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || date +%s)
export SOURCE_DATE_EPOCH

# The debug information goes into NAME.debug; the shipped binary keeps only its
# name and checksum (.gnu_debuglink), which debuggers follow.
for binary in Tarnwick.dll TarnwickTray.exe; do
  "$tool_prefix-objcopy" --only-keep-debug "$build/$binary" "$stage/symbols/$binary.debug"
  "$tool_prefix-strip" --strip-all -o "$stage/files/$binary" "$build/$binary"
  (cd "$stage/symbols" && "$tool_prefix-objcopy" --add-gnu-debuglink="$binary.debug" "$stage/files/$binary")
done
# Text for Windows: CR LF line ends.
sed 's/$/\r/' GUIDE.txt >"$stage/files/GUIDE.txt"
sed 's/$/\r/' LICENSE >"$stage/files/LICENSE.txt"

rm -f "$out/$name.msi" "$out/$name.zip" "$out/$name-symbols.zip" "$out/SHA256SUMS"
# wixl takes the files' paths relative to where it runs.
(cd "$stage" && wixl -a "$wix_arch" -D Version="$release" -D Stage=files -o "$out/$name.msi" \
  "$root/resources/Tarnwick.wxs")
mkdir -p "$stage/zip/$name"
cp "$stage/files/"* "$stage/zip/$name/"
touch -d "@$SOURCE_DATE_EPOCH" "$stage/zip/$name" "$stage/zip/$name/"* "$stage/symbols/"*
(cd "$stage/zip" && zip -q -X -r "$out/$name.zip" "$name")
(cd "$stage/symbols" && zip -q -X "$out/$name-symbols.zip" Tarnwick.dll.debug TarnwickTray.exe.debug)
(cd "$out" && sha256sum "$name.msi" "$name.zip" "$name-symbols.zip" >SHA256SUMS)

echo "package: $preset build, version $version, in $out:"
(cd "$out" && ls -l "$name.msi" "$name.zip" "$name-symbols.zip" SHA256SUMS | awk '{printf "  %10d  %s\n", $5, $9}')
