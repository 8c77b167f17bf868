#!/usr/bin/env bash
# Builds the show in SHOWDIR as a static web site in OUTDIR: index.html, the program
# (qzview.js, qzview.wasm, the same for every show) and the show's files with the
# program's glyph atlas in one data package (show.data, unpacked by show.js). Any web
# server can serve OUTDIR as it is.
#
# Usage: tools/web/build.sh SHOWDIR OUTDIR
# Needs emscripten (Debian: emscripten) and the native build's tools; the native
# program's build directory is build/ (QZVIEW_NATIVE_BUILD to use another), the
# browser program's build-web/program (QZVIEW_WEB_BUILD).
set -euo pipefail

usage() {
    sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//' >&2
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
"$native/qzview-glyph-atlas" "$out/glyphs.atlas"

# Only the show's own files: its bitmaps, sounds and show script.
packed=()
while IFS= read -r -d '' file; do
    packed+=("$file@/show/$(basename "$file")")
done < <(find "$show" -maxdepth 1 -type f \( -name 'scs*.BMP' -o -name 'scb*.BMP' \
    -o -name 'bsou*.WAV' -o -name 'SCR1.BIL' \) -print0 | sort -z)
python3 /usr/share/emscripten/tools/file_packager.py "$out/show.data" \
    --preload "${packed[@]}" "$out/glyphs.atlas@/qzview/glyphs.atlas" \
    --js-output="$out/show.js" >/dev/null
rm -f "$out/glyphs.atlas"

cp "$web/qzview.js" "$web/qzview.wasm" "$out/"
name=$(basename "$(cd "$show" && pwd)")
# The name goes into the page as text: keep it to characters that need no escaping.
safe_name=$(printf '%s' "$name" | tr -c 'A-Za-z0-9 ._-' '_')
sed -e "s/@QZ_TITLE@/QZVIEW - $safe_name/" -e "s/@QZ_SHOW@/$safe_name/" \
    "$root/platform/web/index.html" >"$out/index.html"
echo "site for the show $show written to $out"
