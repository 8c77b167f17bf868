# shellcheck shell=bash disable=SC2034  # the globals set here are read by lib.sh and scenario.sh
# The end-to-end session's screen, program and input in a web page: sourced by
# scenario.sh (QZ_DRIVER) after lib.sh, it replaces the X server by Debian's chromium,
# driven through the DevTools protocol by web/driver.mjs, and the program by the show's
# page. The program's "command line" is the page's address.
#
# Needs: QZ_WEB_PROFILE, the browser's profile directory (kept between runs, so that a
# later run finds what the page stored); node.

WEB_DRIVER_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/web" && pwd)
WEB_COPROC_PID=""

# Sends one command to the driver; its answer's value goes to WEB_REPLY.
web() {
    local reply
    [ -n "$WEB_COPROC_PID" ] || e2e_fail "the browser driver is not running"
    echo "$*" >&"${WEB[1]}"
    IFS= read -r -t 60 reply <&"${WEB[0]}" || e2e_fail "the browser driver did not answer '$*'"
    case $reply in
        ok*) WEB_REPLY=${reply#ok} WEB_REPLY=${WEB_REPLY# } ;;
        *) e2e_fail "browser: '$*' failed: ${reply#error }" ;;
    esac
}

xvfb_start() {
    [ -n "${QZ_WEB_PROFILE:-}" ] || e2e_fail "QZ_WEB_PROFILE names no profile directory"
    mkdir -p "$QZ_WEB_PROFILE"
    coproc WEB { exec node "$WEB_DRIVER_DIR/driver.mjs" "$QZ_WEB_PROFILE" 2>>"$E2E_OUT/browser.log"; }
    WEB_COPROC_PID=$WEB_PID
    e2e_log "chromium driven by $WEB_DRIVER_DIR/driver.mjs (pid $WEB_COPROC_PID)"
}

# Closing the browser in its own time lets it write the page's storage to the profile.
xvfb_stop() {
    [ -n "$WEB_COPROC_PID" ] || return 0
    { echo close >&"${WEB[1]}"; } 2>/dev/null || true
    local waited=0
    while kill -0 "$WEB_COPROC_PID" 2>/dev/null && ((waited < 100)); do
        sleep 0.1
        waited=$((waited + 1))
    done
    kill "$WEB_COPROC_PID" 2>/dev/null || true
    WEB_COPROC_PID=""
}

program_start() {
    local url=$2
    web open "$url"
    PROGRAM_PID=page
    e2e_log "opened $url"
}

program_running() {
    [ -n "$PROGRAM_PID" ] || return 1
    web state
    [ "$WEB_REPLY" = running ]
}

# The page shows the status its program ended with.
program_reap() { PROGRAM_STATUS=${WEB_REPLY#ended }; }

program_stop() { PROGRAM_PID=""; }
window_find() { echo page; }
window_focus() { :; }

device_move() { web move "$1" "$2"; }
device_click() { if [ "$1" = 1 ]; then web click left; else web click right; fi; }
device_type() { web type "$1"; }
device_keys() { web keys "$@"; }
screen_grab() { web shot "$1"; }

# The page saves into its own file system: the file is read back from there.
saved_show_file() {
    SAVED_SHOW_FILE="$E2E_OUT/SCR1.BIL.saved"
    web showfile "$SAVED_SHOW_FILE"
}
