#!/usr/bin/env bash
# The floors of docs/ARCHITECTURE.md, checked on the quoted includes of every
# source file: each include points into the file's own folder or a lower floor,
# portable files include no shell file, src/ includes nothing of tests/ or tools/,
# tools/ nothing of tests/, and the include graph has no cycle. src/tray, the tray
# program, is a room of its own above the plug-in: it includes nothing of src/
# but the host boundary, and nothing includes it but tools/ and tests/.
set -uo pipefail
cd "$(dirname "$0")/.."

floor() {
  case $1 in
    src/tray/*) echo 5 ;;
    src/plugin/*) echo 4 ;;
    src/ui/*) echo 3 ;;
    src/events/*) echo 2 ;;
    src/config/* | src/monitor/*) echo 1 ;;
    src/base/* | resources/*) echo 0 ;;
    *) echo -1 ;;
  esac
}

# src/<folder>, or the top folder outside src/.
room() {
  case $1 in
    src/*) echo "$1" | cut -d/ -f1-2 ;;
    *) echo "$1" | cut -d/ -f1 ;;
  esac
}

# The file a quoted include names, as the build's include folders find it.
resolve() {
  local from=$1 name=$2 dir
  dir=$(dirname "$from")
  for candidate in "$dir/$name" "src/$name" "resources/$name" "tools/$name" "tools/host/$name" "tests/$name"; do
    if [ -f "$candidate" ]; then
      realpath --relative-to=. "$candidate"
      return
    fi
  done
}

status=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT

fail() {
  echo "layers: $1"
  status=1
}

files=$(git ls-files --cached --others --exclude-standard -- '*.h' '*.cpp' | sort -u)
for file in $files; do
  [ -f "$file" ] || continue
  while IFS= read -r name; do
    target=$(resolve "$file" "$name")
    if [ -z "$target" ]; then
      case $file in src/*) fail "$file includes \"$name\", which is no file of src/ or resources/" ;; esac
      continue
    fi
    echo "$file $target" >>"$edges"
    case $file in
      src/*)
        case $target in
          src/* | resources/*) ;;
          *) fail "$file includes $target: the product includes nothing of tests/ or tools/"; continue ;;
        esac
        case $file in
          src/tray/*)
            case $target in
              src/tray/* | src/base/host_records.h) ;;
              *) fail "$file includes $target: the tray program uses only the host boundary of src/base" ;;
            esac
            ;;
        esac
        from_floor=$(floor "$file")
        to_floor=$(floor "$target")
        if [ "$from_floor" -lt 0 ]; then
          fail "$file stands on no floor"
          continue
        fi
        if [ "$(room "$file")" != "$(room "$target")" ] && [ "$to_floor" -ge "$from_floor" ]; then
          fail "$file (floor $from_floor) includes $target (floor $to_floor): not a lower floor"
        fi
        case $file in
          */win32/*) ;;
          *) case $target in */win32/*) fail "$file is portable but includes the shell file $target" ;; esac ;;
        esac
        ;;
      tools/*)
        case $target in tests/*) fail "$file includes $target: a tool depends on no test" ;; esac
        ;;
    esac
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done

# tsort names the files of any loop on standard error.
if ! tsort "$edges" >/dev/null 2>"$edges.loop"; then
  fail "the include graph has a cycle:"
  grep -v 'input contains a loop' "$edges.loop" | sed 's/^tsort: /  /'
fi
rm -f "$edges.loop"

[ $status -eq 0 ] && echo "layers: every include points down a floor, no cycle"
exit $status
