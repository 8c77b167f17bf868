#!/usr/bin/env bash
# The end-to-end session against qzview.exe under Wine: first the file itself (it
# imports only system DLLs, the timer period calls among them, and carries its icon),
# then the same session as the Linux program's on a 24-bit and on a 16-bit X server,
# then an 800 x 600 screen, which has no 1024 x 768 mode: the start-up message box
# appears, is answered with Return and the program ends with a failure status.
#
# Usage: wine_e2e.sh [QZVIEW_EXE [QZVIEW_DEMO]]
#   (default: build-win/qzview.exe, build/qzview-demo)
# The Wine prefix is made once in WINE_E2E_PREFIX (default: next to qzview.exe, in
# wine-prefix) and reused. Set E2E_KEEP=1 to keep the screenshots of a passing run;
# WINE_E2E_SESSIONS picks sessions (default: "depth24 depth16 small-screen").
# Exit status: 0 passed, 1 failed, 77 skipped (Wine, Xvfb, xdotool, ImageMagick or the
# mingw-w64 binutils missing).
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

say() { printf 'wine-e2e: %s\n' "$*"; }
die() {
    printf 'wine-e2e: FAIL %s\n' "$*" >&2
    exit 1
}

# ---------------------------------------------------------------- the file

check_imports() {
    local allowed=" KERNEL32.dll USER32.dll GDI32.dll DDRAW.dll DINPUT.dll DSOUND.dll WINMM.dll msvcrt.dll "
    local table dlls dll needed
    table=$(x86_64-w64-mingw32-objdump -p "$exe")
    dlls=$(sed -n 's/^\s*DLL Name: //p' <<<"$table")
    for dll in $dlls; do
        [[ $allowed == *" $dll "* ]] || die "qzview.exe imports $dll, which Windows does not ship"
    done
    for needed in DDRAW.dll DINPUT.dll DSOUND.dll WINMM.dll; do
        grep -qx "$needed" <<<"$dlls" || die "qzview.exe does not import $needed"
    done
    # The 1 ms timer period that the transition's one-millisecond pauses rely on.
    for needed in timeBeginPeriod timeEndPeriod; do
        grep -qw "$needed" <<<"$table" || die "qzview.exe does not import $needed"
    done
    say "imports: ${dlls//$'\n'/ }"
}

check_icon() {
    local resources
    resources=$(x86_64-w64-mingw32-windres -i "$exe" -O rc 2>/dev/null)
    grep -q 'Name: "DESK1"' <<<"$resources" || die "no icon group DESK1 in qzview.exe"
    # one 32 x 32 image with 32 bits per pixel
    grep -q '"\\040\\040\\000\\000", 1, 32,' <<<"$resources" ||
        die "the DESK1 icon is not one 32 x 32 image"
    say "icon group DESK1: one 32 x 32 image"
}

# ---------------------------------------------------------------- the Wine prefix

# - Managed=N: without a window manager Wine waits 2 s in DestroyWindow for managed
#   windows.
# - renderer: Wine's default, OpenGL. The GDI renderer makes copies to the visible
#   surface far faster, but with it Wine 8 now and then crashes inside Flip.
# - ShowCrashDialog=0: a crash ends the program instead of waiting in a dialog.
wine_settings() {
    cat <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Direct3D]
"renderer"=-

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
EOF
}

# Makes the prefix once, and applies the settings whenever they differ from those it
# was last given. No X server runs yet: nothing may open a window.
prepare_prefix() {
    local t settings
    t=$(now_ms)
    mkdir -p "$HOME"
    # DirectSound needs a sound device; ALSA's null device plays into nothing.
    echo 'pcm.!default { type null }' >"$HOME/.asoundrc"
    settings=$(wine_settings)
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        rm -rf "$WINEPREFIX"
        DISPLAY='' timeout 300 wineboot -i >"$work/wineboot.log" 2>&1 ||
            die "wineboot could not make the prefix (see $work/wineboot.log)"
    fi
    if [ "$(cat "$WINEPREFIX/.qzview-settings" 2>/dev/null)" != "$settings" ]; then
        echo "$settings" >"$work/settings.reg"
        DISPLAY='' timeout 120 wine regedit /S "$(winepath -w "$work/settings.reg" 2>/dev/null)" \
            >/dev/null 2>&1 || die "the Wine settings could not be applied"
        timeout 60 wineserver -w || true
        echo "$settings" >"$WINEPREFIX/.qzview-settings"
    fi
    say "Wine prefix $WINEPREFIX ready in $(($(now_ms) - t)) ms"
}

# ---------------------------------------------------------------- the sessions

# The same session as on Linux. Wine's OpenGL renderer makes every copy to the visible
# surface cost 10 to 30 ms, so a transition (1024 copies) may take half a minute.
run_session() {
    local name=$1 depth=$2 dir="$work/$1"
    "$demo" "$dir/show" >/dev/null
    echo "== $name: qzview.exe on a $depth-bit screen"
    QZ_AFTER_EXIT="wineserver -k" QZ_START_TIMEOUT_MS=120000 QZ_STEP_TIMEOUT_MS=60000 \
        QZ_EXIT_LIMIT_MS=2000 "$here/scenario.sh" --show "$dir/show" --out "$dir/out" \
        --depth "$depth" -- wine "$exe"
}

# Runs in a subshell of its own: lib.sh's failures end the shell they run in.
run_refused_mode() (
    # shellcheck disable=SC2030  # this session's own output directory
    E2E_OUT="$work/small-screen/out"
    E2E_T0_MS=$(now_ms)
    mkdir -p "$E2E_OUT"
    "$demo" "$work/small-screen/show" >/dev/null
    echo "== small-screen: qzview.exe on an 800 x 600 screen"
    trap 'program_stop; timeout 30 wineserver -k || true; xvfb_stop' EXIT
    xvfb_start 800x600x24
    # Wine's window channel logs every window text, the message box's among them.
    WINEDEBUG=-all,trace+win program_start "$work/small-screen/show" wine "$exe"
    local box="" deadline window width
    deadline=$(($(now_ms) + 60000))
    # The program's own window has the screen's width; the box is narrower.
    while [ -z "$box" ]; do
        for window in $(x_run xdotool search --onlyvisible --name '^QZVIEW$' 2>/dev/null || true); do
            width=$(x_run xdotool getwindowgeometry "$window" |
                sed -n 's/^ *Geometry: \([0-9]*\)x.*/\1/p')
            [ "${width:-800}" -lt 800 ] && box=$window
        done
        [ -n "$box" ] && break
        program_running || e2e_fail "the program ended without a message box"
        [ "$(now_ms)" -lt "$deadline" ] || e2e_fail "no message box within 60 s"
        sleep 0.2
    done
    e2e_log "message box $box"
    sleep 0.5
    x_run import -window root "$E2E_OUT/message-box.png" || e2e_fail "no screenshot of the box"
    grep -q 'L"4 VIDEOMODUS 1024 x 768 kann nicht eingestellt werden"' "$E2E_OUT/program.log" ||
        e2e_fail "the message box does not hold start-up text 4"
    x_run xdotool windowfocus "$box" 2>/dev/null || true
    x_run xdotool key Return || e2e_fail "xdotool could not press Return"
    program_wait_exit 10000 || e2e_fail "the program still runs 10 s after the box was answered"
    [ "$PROGRAM_STATUS" -ne 0 ] || e2e_fail "a refused display mode ended with status 0"
    e2e_log "PASS (message box answered, exit status $PROGRAM_STATUS)"
)

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
e2e_require_tools wine wineboot wineserver winepath Xvfb xdotool import convert identify perl \
    x86_64-w64-mingw32-objdump x86_64-w64-mingw32-windres
root=$(cd "$here/../.." && pwd)
exe=$(realpath "${1:-$root/build-win/qzview.exe}")
demo=$(realpath "${2:-$root/build/qzview-demo}")
[ -f "$exe" ] || die "no program at $exe"
[ -x "$demo" ] || die "no demo generator at $demo"

work=$(mktemp -d "${TMPDIR:-/tmp}/qzview-wine-e2e.XXXXXX")
export WINEPREFIX=${WINE_E2E_PREFIX:-$(dirname "$exe")/wine-prefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# HOME only moves ALSA's configuration; the prefix is named above.
export HOME="$WINEPREFIX.home"
started=$(now_ms)

status=0
check_imports
check_icon
prepare_prefix
for session in ${WINE_E2E_SESSIONS:-depth24 depth16 small-screen}; do
    case $session in
        depth24) run_session depth24 24 || status=1 ;;
        depth16) run_session depth16 16 || status=1 ;;
        small-screen) run_refused_mode || status=1 ;;
        *) die "no session called $session" ;;
    esac
    [ "$status" -eq 0 ] || break
done
say "$( ((status == 0)) && echo passed || echo failed) in $((($(now_ms) - started) / 1000)) s"
if [ "$status" -eq 0 ] && [ "${E2E_KEEP:-0}" != 1 ]; then
    rm -rf "$work"
else
    echo "files kept in $work"
fi
exit "$status"
