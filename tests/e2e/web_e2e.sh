#!/usr/bin/env bash
# The end-to-end session against the show in a web page: the demo show built into a
# site by tools/web/build.sh, served on a free local port, and played in Debian's
# chromium (headless) with the same steps and checks as on Linux; the show file the
# page saved is read back from it. Then a new browser on the same profile opens the
# page again: the title, and the navigation over the edited show, stored by the page.
# Last, a page that refuses the pointer lock: the forward button reached by the
# browser pointer's positions.
#
# Usage: web_e2e.sh [QZVIEW_DEMO [NATIVE_BUILD_DIR]]   (default: build/qzview-demo, build)
# Exit status: 0 passed, 1 failed, 77 skipped (chromium, emscripten or node missing).
# Set E2E_KEEP=1 to keep the files of a passing run too.
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
e2e_require_tools chromium emcmake node python3 convert identify perl
root=$(cd "$here/../.." && pwd)
demo=$(realpath "${1:-$root/build/qzview-demo}")
native=$(realpath "${2:-$root/build}")
[ -x "$demo" ] || { echo "no demo generator at $demo" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/qzview-web-e2e.XXXXXX")
server=""
# shellcheck disable=SC2317  # called by the trap
cleanup() {
    [ -z "$server" ] || { kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; }
}
trap cleanup EXIT

"$demo" "$work/show" >/dev/null
echo "== building the site"
QZVIEW_NATIVE_BUILD=$native "$root/tools/web/build.sh" "$work/show" "$work/site" >"$work/build.log" 2>&1 ||
    { tail -n 30 "$work/build.log" >&2; exit 1; }

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/site" >"$work/server.log" 2>&1 &
server=$!
url="http://127.0.0.1:$port/"
for _ in $(seq 100); do
    python3 -c "import urllib.request; urllib.request.urlopen('$url')" 2>/dev/null && break
    sleep 0.1
done

export QZ_DRIVER="$here/web_driver.sh" QZ_WEB_PROFILE="$work/profile"
status=0
echo "== the session in the page"
"$here/scenario.sh" --show "$work/show" --out "$work/out" -- "$url" || status=1
if [ "$status" -eq 0 ]; then
    echo "== the page opened again: the show as saved"
    cp -r "$work/show" "$work/saved"
    cp "$work/out/SCR1.BIL.saved" "$work/saved/SCR1.BIL"
    QZ_STEPS="start navigation" "$here/scenario.sh" --show "$work/saved" --out "$work/out-again" \
        -- "$url" || status=1
fi
if [ "$status" -eq 0 ]; then
    echo "== a page that refuses the pointer lock"
    node "$here/web/unlocked.mjs" "$url" "$work/profile-unlocked" || status=1
fi
if [ "$status" -eq 0 ] && [ "${E2E_KEEP:-0}" != 1 ]; then
    rm -rf "$work"
else
    echo "files kept in $work"
fi
exit "$status"
