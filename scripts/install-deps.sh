#!/usr/bin/env bash
# Installs the build and test dependencies on Debian (as root), only what is missing.
set -euo pipefail

# clang and its runtime libraries build the fuzz targets (libFuzzer); g++ brings ThreadSanitizer;
# wixl builds the installer and msitools reads it back.
packages=(cmake g++ ninja-build googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-dev
          g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix xvfb x11-apps imagemagick clang-format clang-tidy cppcheck python3 file git binutils
          mount util-linux wixl msitools zip unzip)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
# 64-bit Wine runs the x86-64 twin everywhere; 32-bit Wine runs the product's
# i686 build on machines that execute 32-bit code (it installs on the others too).
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
dpkg -s wine >/dev/null 2>&1 || missing+=(wine)
dpkg -s wine64 >/dev/null 2>&1 || missing+=(wine64)
dpkg -s wine32:i386 >/dev/null 2>&1 || missing+=(wine32:i386)
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi
