#!/usr/bin/env bash
# Makes the zip for Windows users: one folder with qzview.exe, a demo show and a short
# README.txt (Windows line ends and code page), ready to unpack and start. Builds what
# it needs first: qzview.exe cross-built with mingw-w64 in build-win, and the demo
# generator in build.
#
# Usage: tools/make-windows-zip.sh [OUT.zip]
#   (default: build-win/qzview-VERSION-windows.zip)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

cmake -S . -B build >/dev/null
cmake --build build -j"$jobs" --target qzview-demo
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build build-win -j"$jobs" --target qzview

version=$(build/qzview-demo --version)
version=${version#qzview }
out=$(realpath -m "${1:-build-win/qzview-$version-windows.zip}")
stage=$(mktemp -d "${TMPDIR:-/tmp}/qzview-zip.XXXXXX")
trap 'rm -rf "$stage"' EXIT
folder=$stage/qzview-$version

build/qzview-demo "$folder" >/dev/null
cp build-win/qzview.exe "$folder/"
sed "s/@VERSION@/$version/; s/\$/\r/" packaging/windows/README.txt |
    iconv -f UTF-8 -t WINDOWS-1252 >"$folder/README.txt"
rm -f "$out"
(cd "$stage" && cmake -E tar cf "$out" --format=zip "qzview-$version")
echo "$out holds:"
cmake -E tar tf "$out" | sort | sed 's/^/  /'
