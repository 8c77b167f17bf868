#!/usr/bin/env bash
# The Linux program as a desktop user meets it, in a real X server: a quiet terminal
# (nothing on standard error with SDL's dummy audio, nor with no sound card at all),
# the show worked with --keys alone, and --window: a window of the size asked for, the
# show letterboxed in it and worked by the free system pointer, and its close button
# ending the program.
#
# Usage: linux_desktop.sh [QZVIEW [QZVIEW_DEMO]]   (default: build/qzview, build/qzview-demo)
# Exit status: 0 passed, 1 failed, 77 skipped (Xvfb, xdotool, ImageMagick or cc missing).
# shellcheck source-path=SCRIPTDIR disable=SC2034  # PROGRAM_PID is read by lib.sh
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
e2e_require_tools Xvfb xdotool import convert cc
root=$(cd "$here/../.." && pwd)
program=$(realpath "${1:-$root/build/qzview}")
demo=$(realpath "${2:-$root/build/qzview-demo}")

work=$(mktemp -d "${TMPDIR:-/tmp}/qzview-desktop.XXXXXX")
E2E_OUT=$work/out
mkdir -p "$E2E_OUT"
trap 'program_stop; xvfb_stop' EXIT
cc -O2 -o "$work/window_close" "$here/window_close.c" -lX11 ||
    { echo "SKIP: window_close.c does not build (libx11-dev)"; exit 77; }
"$demo" "$work/show" >/dev/null
xvfb_start 1024x768x24

# Runs the program, ends the title with Space, opens the menu with Q and quits with Q;
# nothing may reach standard error on the way.
quiet_run_with_keys() {
    local what=$1 id
    shift
    (cd "$work/show" && exec env "$@" "$program" --keys) >"$E2E_OUT/program.log" 2>"$work/stderr" &
    PROGRAM_PID=$!
    id=$(window_find QZVIEW 20000)
    window_focus "$id" 5000
    sleep 0.5
    press_keys space
    sleep 0.3
    press_keys q
    sleep 0.3
    press_keys q
    program_wait_exit 5000 || e2e_fail "$what: Space, Q, Q did not end the program"
    [ "$PROGRAM_STATUS" -eq 0 ] || e2e_fail "$what: exit status $PROGRAM_STATUS"
    [ ! -s "$work/stderr" ] || e2e_fail "$what: standard error was not empty: $(cat "$work/stderr")"
    e2e_log "$what: ended by its keys, nothing on standard error"
}

quiet_run_with_keys "dummy audio" SDL_AUDIODRIVER=dummy
quiet_run_with_keys "no sound card" SDL_AUDIODRIVER=alsa ALSA_CARD=qzview-no-such-card

# A 1000x600 window: the 4:3 show is 800x600 in it, with bars of 100 pixels either side.
(cd "$work/show" && exec env SDL_AUDIODRIVER=dummy "$program" --verbose --window=1000x600) \
    >"$E2E_OUT/program.log" 2>&1 &
PROGRAM_PID=$!
id=$(window_find QZVIEW 20000)
eval "$(x_run xdotool getwindowgeometry --shell "$id")"
if [ "$WIDTH" != 1000 ] || [ "$HEIGHT" != 600 ]; then
    e2e_fail "the window is ${WIDTH}x$HEIGHT, not 1000x600"
fi
sleep 1
x_run import -window root "$work/window.png"
pixel() { convert "$work/window.png" -format "%[hex:p{$(($1 + X)),$(($2 + Y))}]" info:; }
if [ "$(pixel 50 300)" != 000000 ] || [ "$(pixel 950 300)" != 000000 ]; then
    e2e_fail "no black bars beside the show (see $work/window.png)"
fi
[ "$(pixel 500 300)" != 000000 ] || e2e_fail "the show is not in the window (see $work/window.png)"
# The system pointer stays free in a window, and the show's pointer goes where it goes:
# a click ends the title, and a click on the panel's next button, scaled into the
# window, shows the next picture.
window_focus "$id" 5000
x_run xdotool mousemove $((X + 500)) $((Y + 300)) click 1
sleep 1
x_run import -window root "$work/first.png"
x_run xdotool mousemove $((X + 870)) $((Y + 570)) click 1
sleep 1.5
x_run import -window root "$work/second.png"
shown() { convert "$work/$1" -format "%[hex:p{$((X + 500)),$((Y + 100))}]" info:; }
[ "$(shown first.png)" != "$(shown second.png)" ] ||
    e2e_fail "a click on the next button in the window showed no other picture"
"$work/window_close" "$id"
program_wait_exit 5000 || e2e_fail "the window's close button did not end the program"
[ "$PROGRAM_STATUS" -eq 0 ] || e2e_fail "closing the window: exit status $PROGRAM_STATUS"
e2e_log "--window=1000x600: letterboxed, clicked through, and its close button ended it"
rm -rf "$work"
