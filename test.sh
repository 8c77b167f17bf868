#!/usr/bin/env bash
# Builds qzview and runs every test: the unit, scenario and Linux end-to-end tests
# through CTest, then qzview.exe cross-built with mingw-w64 and its end-to-end tests
# under Wine. Installs what is missing first (Debian 12).
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh test
jobs=$(nproc)
# Our own builds treat warnings as errors.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZVIEW_SDL=ON -DQZVIEW_WERROR=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-win \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DQZVIEW_WERROR=ON
cmake --build build-win -j"$jobs"
status=0
tests/e2e/wine_e2e.sh build-win/qzview.exe build/qzview-demo || status=$?
if [ "$status" -eq 77 ]; then
  echo "the Wine end-to-end tests were skipped"
elif [ "$status" -ne 0 ]; then
  exit "$status"
fi
