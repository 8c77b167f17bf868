#!/usr/bin/env bash
# Builds the show in SHOWDIR as a static web site in OUTDIR: index.html, the program
# (qzview.js, qzview.wasm, the same for every show), the show's files and the
# program's glyph atlas each gzipped under files/, and their manifest show.json. The
# page fetches each file when the show needs it. Any web server can serve OUTDIR as
# it is.
#
# Usage: tools/web/build.sh SHOWDIR OUTDIR
# Needs emscripten (Debian: emscripten) and the native build's tools; the native
# program's build directory is build/ (QZVIEW_NATIVE_BUILD to use another), the
# browser program's build-web/program (QZVIEW_WEB_BUILD).
set -euo pipefail

usage() {
    sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}
[ $# -eq 2 ] || usage
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
show=$1
out=$2
if [ ! -d "$show" ] || { [ ! -f "$show/SCR1.BIL" ] && [ ! -f "$show/scs00001.BMP" ]; }; then
    echo "build.sh: $show holds no show (neither SCR1.BIL nor scs00001.BMP)" >&2
    exit 1
fi
command -v emcmake >/dev/null || {
    echo "build.sh: emscripten is not installed (tools/install-deps.sh test installs it)" >&2
    exit 1
}
native=${QZVIEW_NATIVE_BUILD:-$root/build}
web=${QZVIEW_WEB_BUILD:-$root/build-web/program}
jobs=$(nproc)
# Debian's emscripten finds its JavaScript modules there, whichever Node.js runs it.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

# The glyph atlas, drawn by the native program's glyph source.
if [ ! -f "$native/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZVIEW_SDL=ON
fi
cmake --build "$native" -j"$jobs" --target qzview-glyph-atlas

# The browser program.
emcmake cmake -S "$root" -B "$web" -DCMAKE_BUILD_TYPE=Release -DQZVIEW_WERROR=ON >/dev/null
cmake --build "$web" -j"$jobs"

mkdir -p "$out"
out=$(cd "$out" && pwd)
cp "$web/qzview.js" "$web/qzview.wasm" "$out/"
rm -f "$out/show.data" "$out/show.js"
"$native/qzview-glyph-atlas" "$out/glyphs.atlas"
name=$(basename "$(cd "$show" && pwd)")
# The name goes into the page as text: keep it to characters that need no escaping.
safe_name=$(printf '%s' "$name" | tr -c 'A-Za-z0-9 ._-' '_')
python3 "$root/tools/web/pack_show.py" "$show" "$out/glyphs.atlas" "$out/qzview.wasm" \
    "$root/platform/web/index.html" "$out" "$safe_name"
rm -f "$out/glyphs.atlas"
echo "site for the show $show written to $out"
