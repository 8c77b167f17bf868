#!/usr/bin/env bash
# Measures the Linux program in a private X server (Xvfb 1024x768x24) on the demo show
# and prints a table with the goals beside the figures:
#   - one full present of the 1024x768 front (the program preloaded with a timer around
#     SDL's window-surface updates; the program itself is unchanged),
#   - the transition's wall time (a watcher on the screen's pixels sees the centre
#     column and the edge columns of the new picture arrive; the effect shows its
#     first strip at its first pause and its last strip at its 64th, so this span
#     leaves out the last 1 ms pause),
#   - start-up to the title on screen (from just before the process starts until the
#     watcher sees the title's pixels),
#   - the wake-ups of all the program's threads over 10 s without input (voluntary and
#     involuntary context switches), on the title and on a picture with the background
#     sound playing, and on a picture with it switched off in the menu,
#   - peak resident memory after a tour of the whole show, menu and editor (VmHWM).
# Not a test: it fails only when it cannot measure.
#
# Usage: tools/measure-linux.sh [QZVIEW [QZVIEW_DEMO]]   (default: build/qzview, build/qzview-demo)
# Needs: Xvfb, xdotool, ImageMagick, a C compiler and the X11 headers (libx11-dev).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program=$(realpath "${1:-$root/build/qzview}")
demo=$(realpath "${2:-$root/build/qzview-demo}")
readonly STARTS=5       # start-ups timed
readonly TRANSITIONS=6  # transitions timed
readonly IDLE_SECONDS=10
readonly FULL_AREA=$((1024 * 768))

work=$(mktemp -d "${TMPDIR:-/tmp}/qzview-measure.XXXXXX")
E2E_OUT="$work/out"
mkdir -p "$E2E_OUT/shots" "$E2E_OUT/ref"
# shellcheck source-path=SCRIPTDIR/.. source=tests/e2e/lib.sh
source "$root/tests/e2e/lib.sh"

cleanup() {
    program_stop
    xvfb_stop
    rm -rf "$work"
}
trap cleanup EXIT

build_helpers() {
    cc -O2 -o "$work/pixel_watch" "$root/tests/e2e/pixel_watch.c" -lX11 ||
        e2e_fail "cannot build the pixel watcher (needs libx11-dev)"
    cc -O2 -shared -fPIC -o "$work/present_timer.so" "$root/tests/e2e/present_timer.c" -ldl ||
        e2e_fail "cannot build the present timer"
}

# Statistics of numbers on standard input: "median (min-max, n)", in ms from ns.
ms_summary() {
    sort -n | awk '{ v[NR] = $1 / 1e6 }
        END { if (NR == 0) { print "none"; exit }
              m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
              printf "%.2f ms (%.2f-%.2f, n=%d)\n", m, v[1], v[NR], NR }'
}

# Starts the watcher on the given conditions in the background; returns once it
# watches. Its output goes to $work/watch.out.
WATCH_PID=""
watch_start() {
    local timeout_ms=$1
    shift
    : >"$work/watch.out"
    "$work/pixel_watch" "$timeout_ms" "$@" >"$work/watch.out" &
    WATCH_PID=$!
    until grep -q '^ready' "$work/watch.out"; do
        kill -0 "$WATCH_PID" 2>/dev/null || e2e_fail "the pixel watcher ended at start"
        sleep 0.01
    done
}
# Waits for the watcher; fails when it timed out.
watch_end() {
    wait "$WATCH_PID" || e2e_fail "the screen did not show what was waited for ($*)"
}
# Time (ns) at which condition index was met.
met_at() { awk -v i="$1" '$1 == "met" && $2 == i { print $3 }' "$work/watch.out"; }

# Watch conditions "x,y,r,g,b,tol" for points of a reference picture.
conditions_for() {
    local key=$1 tol=$2 i colours=() points
    shift 2
    points=("$@")
    ref_args "$key"
    mapfile -t colours < <(pixels_of "${REF_ARGS[@]}" "$@")
    for ((i = 0; i < ${#colours[@]}; i++)); do
        echo "${points[2 * i]},${points[2 * i + 1]},${colours[i]// /,},$tol"
    done
}

start_program() {
    program_start "$work/show" env SDL_AUDIODRIVER=dummy LD_PRELOAD="$work/present_timer.so" \
        QZ_PRESENT_LOG="$work/presents.log" "$program"
}

# "THREAD-ID NAME SWITCHES" for every thread of the program.
thread_switches() {
    local task
    for task in "/proc/$PROGRAM_PID/task"/*; do
        [ -r "$task/status" ] || continue
        awk -v id="${task##*/}" '/^Name:/ { name = $2 } /ctxt_switches/ { n += $2 }
            END { print id, name, n }' "$task/status"
    done
}

# Wake-ups of all threads while nothing happens for IDLE_SECONDS: "TOTAL (NAME N, ...)";
# a thread that ended or began meanwhile counts what it did while it was there.
idle_wakeups() {
    local before after
    before=$(thread_switches)
    sleep "$IDLE_SECONDS"
    after=$(thread_switches)
    awk 'NR == FNR { was[$1] = $3; next }
         { n = $3 - was[$1]; total += n; list = list sep $2 " " n; sep = ", " }
         END { printf "%d (%s)\n", total, list }' <(echo "$before") <(echo "$after")
}

# ---------------------------------------------------------------- start-up

STARTUP_NS=()
measure_startups() {
    local run t0 t title=()
    # The title's pixels at points spread over the screen, clear of the text.
    mapfile -t title < <(conditions_for pic2 3 100 100 512 300 900 600 300 500 800 150)
    for ((run = 1; run <= STARTS; run++)); do
        watch_start 20000 "${title[@]}"
        t0=$(date +%s%N)
        start_program
        watch_end "title"
        t=$(awk '$1 == "met" { if ($3 > m) m = $3 } END { print m }' "$work/watch.out")
        STARTUP_NS+=($((t - t0)))
        # all but the last run end here; the last goes on to the other measurements
        ((run < STARTS)) && program_stop
    done
    return 0
}

# ---------------------------------------------------------------- transitions

# A row where the old and the new screenshot differ in the centre columns and in the
# edge columns, so that the watcher sees each arrive.
transition_row() {
    local old=$1 new=$2 y points=() a=() b=() i k ok
    for ((y = 300; y < 700; y += 7)); do points+=(0 "$y" 511 "$y" 512 "$y" 1023 "$y"); done
    ref_args "$old"
    mapfile -t a < <(pixels_of "${REF_ARGS[@]}" "${points[@]}")
    ref_args "$new"
    mapfile -t b < <(pixels_of "${REF_ARGS[@]}" "${points[@]}")
    for ((i = 0; i < ${#a[@]}; i += 4)); do
        ok=1
        for k in 0 1 2 3; do colour_near "${a[i + k]}" "${b[i + k]}" 20 && ok=0; done
        if ((ok)); then
            echo "${points[2 * i + 1]}"
            return 0
        fi
    done
    return 1
}

TRANSITION_NS=()
CLICK_TO_EDGE_NS=()
measure_transitions() {
    local n entry old new y conditions=() clicked centre edge file
    entry=1
    for ((n = 1; n <= TRANSITIONS; n++)); do
        old=pic$(bil_get "$work/show/SCR1.BIL" pic_file "$entry")
        file=$(bil_get "$work/show/SCR1.BIL" pic_file $((entry + 1)))
        new=pic$file
        ref_load "$new" "$work/show/$(printf 'scs%05d.BMP' "$file")"
        y=$(transition_row "$old" "$new") || e2e_fail "no row tells $old from $new"
        mapfile -t conditions < <(conditions_for "$new" 3 511 "$y" 512 "$y" 0 "$y" 1023 "$y")
        watch_start 10000 "${conditions[@]}"
        clicked=$(date +%s%N)
        click_at 981 731
        watch_end "transition to $new"
        centre=$(printf '%s\n' "$(met_at 0)" "$(met_at 1)" | sort -n | head -n 1)
        edge=$(printf '%s\n' "$(met_at 2)" "$(met_at 3)" | sort -n | tail -n 1)
        TRANSITION_NS+=($((edge - centre)))
        CLICK_TO_EDGE_NS+=($((edge - clicked)))
        entry=$((entry + 1))
        sleep 0.3
    done
}

# ---------------------------------------------------------------- the rest of the show

# Every picture, the menu and the editor, so that every bitmap has been loaded once.
tour_show() {
    local count i
    count=$(bil_get "$work/show/SCR1.BIL" picture_count)
    for ((i = 0; i <= count; i++)); do
        click_at 981 731
        sleep 0.3
    done
    click_right
    sleep 0.3
    click_at 141 121      # the editor switch
    sleep 0.3
    for i in 1 2 3; do
        click_at 919 731  # previous, with the editor bar and status lines
        sleep 0.3
    done
    click_right           # leaves the editor
    sleep 0.3
}

quit_through_menu() {
    click_right
    sleep 0.5
    click_at 501 145
    program_wait_exit 5000 || e2e_fail "the program did not end after the quit click"
}

present_durations() {
    local area=$1
    awk -v area="$area" -v full="$FULL_AREA" '$3 == area || (area == full && $3 == -1) { print $2 }' \
        "$work/presents.log"
}

# Program side of the transitions: from the start of the first 16-column present of
# a run of them to the end of its last.
program_side_transitions() {
    awk -v strip=$((16 * 768)) '
        $3 == strip { if (!on || $1 - last > 50e6) { if (on) print last - first; first = $1; on = 1 }
                      last = $1 + $2 }
        END { if (on) print last - first }' "$work/presents.log"
}

# ---------------------------------------------------------------- main

for tool in Xvfb xdotool import convert identify cc; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
build_helpers
"$demo" "$work/show" >/dev/null
ref_load pic2 "$work/show/scs00002.BMP"
ref_load pic100 "$work/show/scs00100.BMP"
xvfb_start 1024x768x24

measure_startups
window_focus "$(window_find QZVIEW 5000)" 5000
sleep 0.5
idle_title=$(idle_wakeups)

click_left   # the title ends; the first picture follows
sleep 1
idle_picture=$(idle_wakeups)
click_right
sleep 0.5
click_at 501 295   # the menu's fourth choice: background sound off
sleep 1
idle_silent=$(idle_wakeups)

measure_transitions
tour_show
peak_kb=$(awk '/^VmHWM/ { print $2 }' "/proc/$PROGRAM_PID/status")
quit_through_menu

full=$(present_durations "$FULL_AREA" | ms_summary)
strip=$(present_durations $((16 * 768)) | ms_summary)
echo
echo "qzview on Xvfb 1024x768x24, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo
printf '| %-62s | %-32s | %-10s |\n' "measurement" "measured" "goal"
printf '|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..64})" "$(printf -- '-%.0s' {1..34})" "$(printf -- '-%.0s' {1..12})"
row() { printf '| %-62s | %-32s | %-10s |\n' "$1" "$2" "$3"; }
row "one full present, 1024x768 (SDL window-surface update)" "$full" "-"
row "one transition present, 16 columns" "$strip" "-"
row "transition on screen: first strip (centre) to last (edges)" \
    "$(printf '%s\n' "${TRANSITION_NS[@]}" | ms_summary)" "64-90 ms"
row "transition, program side: first to last of its presents" \
    "$(program_side_transitions | ms_summary)" "64-90 ms"
row "click on 'next' to the last column on screen" \
    "$(printf '%s\n' "${CLICK_TO_EDGE_NS[@]}" | ms_summary)" "-"
row "start-up to the title on screen" "$(printf '%s\n' "${STARTUP_NS[@]}" | ms_summary)" "<= 300 ms"
row "wake-ups, all threads, ${IDLE_SECONDS} s without input, title" "$idle_title" "-"
row "wake-ups, all threads, ${IDLE_SECONDS} s, picture" "$idle_picture" "-"
row "wake-ups, all threads, ${IDLE_SECONDS} s, picture, sound off" "$idle_silent" "<= ${IDLE_SECONDS}"
row "peak resident memory (VmHWM) after the whole show" \
    "$(awk -v k="$peak_kb" 'BEGIN { printf "%.1f MB", k / 1024 }')" "<= 60 MB"
