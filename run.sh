#!/usr/bin/env bash
# Builds qzview, generates the demo show into build/demo and runs the show there.
# With --web: builds the demo show as a web site into build-web/site and serves it on
# http://localhost:8000 until interrupted. Installs what is missing first (Debian 12).
set -euo pipefail
cd "$(dirname "$0")"
web=0
case "${1:-}" in
  --web) web=1 ;;
  "") ;;
  *) echo "usage: $0 [--web]" >&2; exit 2 ;;
esac
tools/install-deps.sh run
[ "$web" -eq 0 ] || tools/install-deps.sh web
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZVIEW_SDL=ON
cmake --build build -j"$(nproc)"
if [ ! -x build/qzview ] || [ ! -x build/qzview-demo ]; then
  echo "run.sh: the show program is not built yet on this platform" >&2
  exit 1
fi
# The demo is made afresh: qzview-demo refuses a directory that holds a show.
rm -rf build/demo
build/qzview-demo build/demo
if [ "$web" -eq 1 ]; then
  tools/web/build.sh build/demo build-web/site
  echo "the demo show is served on http://localhost:8000/ (Ctrl+C ends)"
  exec python3 -m http.server 8000 --bind 127.0.0.1 --directory build-web/site
fi
exec build/qzview build/demo
