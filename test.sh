#!/usr/bin/env bash
# Builds qzview and runs every test. Installs what is missing first (Debian 12).
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh test
jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZVIEW_SDL=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"
