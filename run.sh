#!/usr/bin/env bash
# Builds qzview, generates the demo show into build/demo and runs the show there.
# Installs what is missing first (Debian 12).
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZVIEW_SDL=ON
cmake --build build -j"$(nproc)"
if [ ! -x build/qzview ] || [ ! -x build/qzview-demo ]; then
  echo "run.sh: the show program is not built yet on this platform" >&2
  exit 1
fi
build/qzview-demo build/demo
exec build/qzview build/demo
