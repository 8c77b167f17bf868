#!/usr/bin/env bash
# The end-to-end session against the show in a web page: the demo show built into a
# site by tools/web/build.sh, served on a free local port, and played in Debian's
# chromium (headless) with the same steps and checks as on Linux; the show file the
# page saved is read back from it. Then a new browser on the same profile opens the
# page again: the title, and the navigation over the edited show, stored by the page.
# Then a page that refuses the pointer lock: the forward button reached by the
# browser pointer's positions; the page on a phone with touch, ended there, and its
# download link used after the end. Last, a full-sized show of 499 entries (the
# demo's screenshots linked under new numbers) served by Debian's nginx, as a user
# would put it up, over a held-back network; one of its files is missing on the
# server, and must be asked for three times, then left out.
#
# Usage: web_e2e.sh [QZVIEW_DEMO [NATIVE_BUILD_DIR]]   (default: build/qzview-demo, build)
# Exit status: 0 passed, 1 failed, 77 skipped (chromium, emscripten or node missing).
# Set E2E_KEEP=1 to keep the files of a passing run too.
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
e2e_require_tools chromium emcmake node python3 convert identify perl nginx
root=$(cd "$here/../.." && pwd)
demo=$(realpath "${1:-$root/build/qzview-demo}")
native=$(realpath "${2:-$root/build}")
[ -x "$demo" ] || { echo "no demo generator at $demo" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/qzview-web-e2e.XXXXXX")
server=""
nginx_pid=""
# shellcheck disable=SC2317  # called by the trap
cleanup() {
    local pid
    for pid in $server $nginx_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}
trap cleanup EXIT

"$demo" "$work/show" >/dev/null
echo "== building the site"
QZVIEW_NATIVE_BUILD=$native "$root/tools/web/build.sh" "$work/show" "$work/site" >"$work/build.log" 2>&1 ||
    { tail -n 30 "$work/build.log" >&2; exit 1; }

free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
wait_for() {
    for _ in $(seq 100); do
        python3 -c "import urllib.request; urllib.request.urlopen('$1')" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# nginx as a user's site has it: the packaged MIME types and a folder to serve, no
# more; here on a local port, in the foreground, its files in the test's folder.
serve_with_nginx() {
    local site=$1 port=$2 conf=$work/nginx
    mkdir -p "$conf"
    cat >"$conf/nginx.conf" <<EOF
daemon off;
master_process off;
pid $conf/nginx.pid;
error_log $conf/error.log;
events {}
http {
    include /etc/nginx/mime.types;
    default_type application/octet-stream;
    access_log $conf/access.log;
    client_body_temp_path $conf/body;
    proxy_temp_path $conf/proxy;
    fastcgi_temp_path $conf/fastcgi;
    uwsgi_temp_path $conf/uwsgi;
    scgi_temp_path $conf/scgi;
    server {
        listen 127.0.0.1:$port;
        root $site;
    }
}
EOF
    nginx -c "$conf/nginx.conf" -p "$conf" >"$conf/stdout.log" 2>&1 &
    nginx_pid=$!
}

port=$(free_port)
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/site" >"$work/server.log" 2>&1 &
server=$!
url="http://127.0.0.1:$port/"
wait_for "$url" || { echo "the site's server did not answer" >&2; exit 1; }

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
if [ "$status" -eq 0 ]; then
    echo "== on a phone, and the download link after the end"
    node "$here/web/phone.mjs" "$url" "$work/profile" "$work/out/SCR1.BIL.saved" \
        "$work/downloads" || status=1
fi
if [ "$status" -eq 0 ]; then
    echo "== the full-sized show from nginx, at 100 Mbit/s with 20 ms latency"
    "$demo" "$work/small" >/dev/null
    python3 "$here/web/make_big_show.py" "$work/small" "$work/big"
    QZVIEW_NATIVE_BUILD=$native "$root/tools/web/build.sh" "$work/big" "$work/big-site" \
        >"$work/build-big.log" 2>&1 || { tail -n 30 "$work/build-big.log" >&2; exit 1; }
    lost=scb00005.BMP
    rm "$work/big-site/files/$lost.gz"
    big_port=$(free_port)
    serve_with_nginx "$work/big-site" "$big_port"
    big_url="http://127.0.0.1:$big_port/"
    wait_for "$big_url" || { echo "nginx did not answer" >&2; cat "$work/nginx/error.log" >&2; exit 1; }
    node "$here/web/big.mjs" "$big_url" "$work/big" "$work/profile-big" "$lost" || status=1
    asked=$(grep -c "GET /files/$lost.gz " "$work/nginx/access.log" || true)
    if [ "$asked" -ne 3 ]; then
        echo "the lost $lost was asked for $asked times, not 3" >&2
        status=1
    fi
    if grep -v "GET /files/$lost.gz " "$work/nginx/access.log" | grep -q '" 404 '; then
        echo "the page asked nginx for files the site does not hold:" >&2
        grep -v "GET /files/$lost.gz " "$work/nginx/access.log" | grep '" 404 ' | head -n 5 >&2
        status=1
    fi
fi
if [ "$status" -eq 0 ] && [ "${E2E_KEEP:-0}" != 1 ]; then
    rm -rf "$work"
else
    echo "files kept in $work"
fi
exit "$status"
