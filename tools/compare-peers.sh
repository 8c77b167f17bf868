#!/usr/bin/env bash
# qzview side by side with the picture viewer people already have (feh), in one private
# X server (Xvfb 1024x768x24), on the demo show, the two programs alternating run by run:
#   - start-up: from the fork until four pixels of the first picture are on the screen
#     (qzview: its title scs00002.BMP; feh -F: the same file), without a window manager
#     and with openbox running;
#   - next picture: from the input (qzview: a click on the panel's forward button; feh:
#     the Right key) until the first and until the last of eight watched pixels across
#     one row show the next picture (qzview: the transition's centre columns and its
#     edges; feh: its picture complete), over the show's first pictures (those stored
#     top-down are stepped over: feh shows them upside down);
#   - peak resident memory (VmHWM) after every picture of the show has been shown.
# Prints one table: medians with (min-max) and the ratio qzview / feh.
#
# With --profile it instead puts every millisecond of qzview's start-up down to a step
# (a preloaded timer notes SDL's, SDL2_ttf's and the file calls; the program is not
# changed), without and with the window manager.
#
# qzview runs in the caller's environment: on a machine without a sound card, SDL's
# failing sound set-up is part of its start-up (SDL_AUDIODRIVER=dummy leaves it out).
# Installs nothing. Needs Xvfb, openbox, feh, a C compiler, the X11 headers
# (libx11-dev) and the XTest library (libxtst6); says what is missing.
#
# Usage: tools/compare-peers.sh [--runs N] [--profile] [QZVIEW [QZVIEW_DEMO]]
# (QZ_PEERS_DEBUG=1 also prints every timed step.)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=7
profile=0
while [ $# -gt 0 ]; do
    case $1 in
        --runs) runs=$2; shift 2 ;;
        --profile) profile=1; shift ;;
        -h | --help) sed -n '2,24p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) break ;;
    esac
done
program=${1:-$root/build/qzview}
demo=${2:-$root/build/qzview-demo}
readonly STEPS=7           # next-picture steps per session: entries 1 to 8
readonly TIMEOUT_MS=10000  # for anything to reach the screen
readonly TOL=12            # colour tolerance per channel
# Title points clear of the title's text lines; the row for the next pictures lies
# below the boxes at the top right and above those at the bottom left.
readonly TITLE_POINTS=("100,100" "512,300" "900,600" "300,500")
readonly ROW_FROM=280 ROW_TO=400
readonly ROW_COLUMNS=(0 128 256 511 512 768 896 1023)

say() { echo "compare-peers: $*" >&2; }
keep_work=0
die() {
    say "$*"
    keep_work=1
    exit 1
}

# ---------------------------------------------------------------- what is needed

check_needs() {
    local missing=() tool
    for tool in Xvfb openbox feh cc; do
        command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
    done
    echo '#include <X11/Xlib.h>' | cc -fsyntax-only -x c - 2>/dev/null ||
        missing+=("the X11 headers (libx11-dev)")
    ldconfig -p 2>/dev/null | grep -q 'libXtst\.so\.6' || missing+=("libXtst.so.6 (libxtst6)")
    [ -x "$program" ] || missing+=("$program (build it first)")
    [ -x "$demo" ] || missing+=("$demo (build it first)")
    if [ ${#missing[@]} -gt 0 ]; then
        say "cannot measure; missing:"
        printf '  %s\n' "${missing[@]}" >&2
        say "(on Debian: tools/install-deps.sh measure)"
        exit 2
    fi
}

# ---------------------------------------------------------------- X server and programs

work=""
XVFB_PID=""
WM_PID=""
cleanup() {
    [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    if [ -n "$work" ]; then
        if ((keep_work)); then say "logs kept in $work"; else rm -rf "$work"; fi
    fi
    return 0
}
trap cleanup EXIT

start_xvfb() {
    : >"$work/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" \
        >"$work/xvfb.log" 2>&1 &
    XVFB_PID=$!
    local tries=0
    until [ -s "$work/display" ]; do
        kill -0 "$XVFB_PID" 2>/dev/null || die "Xvfb ended at start (see $work/xvfb.log)"
        ((++tries < 200)) || die "Xvfb gave no display number"
        sleep 0.05
    done
    DISPLAY=":$(head -n 1 "$work/display")"
    export DISPLAY
}

start_window_manager() {
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    WM_PID=$!
    "$timer" window-manager 10000 || die "openbox did not come up (see $work/openbox.log)"
    # It announces itself before it manages windows: a window mapped at once may wait.
    sleep 1
}

# Ends a started program and waits until it is gone (it is not our child).
stop_pid() {
    local pid=$1 tries=0
    kill "$pid" 2>/dev/null || return 0
    while [ -e "/proc/$pid" ] && ((tries++ < 300)); do sleep 0.01; done
    [ -e "/proc/$pid" ] && kill -KILL "$pid" 2>/dev/null
    while [ -e "/proc/$pid" ]; do sleep 0.01; done
}

# Conditions for screen_timer: the colours of a bitmap at points "x,y".
conditions_of() {
    local file=$1 point
    shift
    for point in "$@"; do echo "$point,@$file,$TOL"; done
}

field() { awk -v k="$1" '$1 == k { print $2 }' <<<"$2"; }

# Starts a program in the show directory and times its first picture; sets STARTED_PID
# and STARTED_NS.
STARTED_PID=""
STARTED_NS=""
timed_start() {
    local name=$1 out
    shift
    local -n conditions=$1
    shift
    out=$("$timer" start "$TIMEOUT_MS" "$show" "$work/$name.log" "${conditions[@]}" -- "$@") ||
        die "$name: its first picture did not reach the screen (see $work/$name.log)"
    STARTED_PID=$(field pid "$out")
    STARTED_NS=$(field last "$out")
}

# ---------------------------------------------------------------- statistics

# Numbers (ns) on standard input: "median (min-max)" in ms; empty input: "-".
summary() {
    sort -n | awk '{ v[NR] = $1 / 1e6 }
        END { if (NR == 0) { print "-"; exit }
              m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
              printf "%.1f ms (%.1f-%.1f)\n", m, v[1], v[NR] }'
}
median_of() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "" || b == "" || b == 0) print "-"; else printf "%.2fx\n", a / b }'; }

declare -A SAMPLES=()
add() { SAMPLES[$1]+="$2 "; }
samples() { tr ' ' '\n' <<<"${SAMPLES[$1]:-}" | grep -v '^$' || true; }

# ---------------------------------------------------------------- start-up

measure_startups() {
    local key=$1 i order
    for ((i = 0; i < runs; i++)); do
        # ABBA: each program goes first as often as second.
        if ((i % 2 == 0)); then order="qzview feh"; else order="feh qzview"; fi
        for name in $order; do
            if [ "$name" = qzview ]; then
                timed_start qzview TITLE "$program"
            else
                timed_start feh TITLE feh -F --hide-pointer scs00002.BMP
            fi
            add "$key-$name" "$STARTED_NS"
            stop_pid "$STARTED_PID"
        done
    done
}

# ---------------------------------------------------------------- next picture

# The pictures of the show's entries, in show order.
ENTRY_FILES=()
read_show_order() {
    local count i b0 b1 b2 b3
    read -r b0 b1 b2 b3 < <(od -An -tu1 -j4 -N4 "$show/SCR1.BIL")
    count=$((b0 | b1 << 8 | b2 << 16 | b3 << 24))
    for ((i = 1; i <= count; i++)); do
        read -r b0 b1 b2 b3 < <(od -An -tu1 -j$((8 + 4 * i)) -N4 "$show/SCR1.BIL")
        ENTRY_FILES+=("$(printf 'scs%05d.BMP' $((b0 | b1 << 8 | b2 << 16 | b3 << 24)))")
    done
}

# Conditions that show entry k (1-based) replacing entry k-1: its colours on a row where
# the two pictures differ at every watched column.
step_conditions() {
    local k=$1 old new y points=() x
    old=$show/${ENTRY_FILES[k - 2]}
    new=$show/${ENTRY_FILES[k - 1]}
    y=$("$timer" row "$old" "$new" "$TOL" "$ROW_FROM" "$ROW_TO" "${ROW_COLUMNS[@]}") ||
        die "no row tells ${ENTRY_FILES[k - 2]} from ${ENTRY_FILES[k - 1]}"
    for x in "${ROW_COLUMNS[@]}"; do points+=("$x,$y"); done
    conditions_of "$new" "${points[@]}"
}

# feh shows bitmaps stored top-down upside down: their steps are taken, not timed.
top_down() {
    local height
    height=$(od -An -td4 -j22 -N4 "$show/$1")
    ((height < 0))
}

peak_kb() { awk '/^VmHWM/ { print $2 }' "/proc/$1/status"; }

# One session of one program: the first picture, STEPS next pictures timed, and with
# tour=1 the rest of the show for the peak memory.
next_session() {
    local name=$1 tour=$2 k out conditions=() input=()
    if [ "$name" = qzview ]; then
        timed_start qzview TITLE "$program"
        sleep 0.5  # a window just mapped may not read input yet
        "$timer" click "$TIMEOUT_MS" "${FIRST[@]}" >/dev/null || die "qzview: the title stayed"
        # The pointer stops at (1007, 751), on the panel's forward button.
        "$timer" move 600 600
        input=(click)
    else
        timed_start feh FIRST feh -F --hide-pointer "${ENTRY_FILES[@]}"
        sleep 0.5
        input=(key Right)
    fi
    sleep 0.3
    for ((k = 2; k <= STEPS + 1; k++)); do
        if top_down "${ENTRY_FILES[k - 1]}"; then
            "$timer" "${input[@]}" 0
            sleep 0.5
            continue
        fi
        mapfile -t conditions < <(step_conditions "$k")
        out=$("$timer" "${input[@]}" "$TIMEOUT_MS" "${conditions[@]}") ||
            die "$name: picture $k did not reach the screen"
        add "next-first-$name" "$(field first "$out")"
        [ -n "${QZ_PEERS_DEBUG:-}" ] && say "$name step $k: $(tr "\n" " " <<<"$out")"
        add "next-last-$name" "$(field last "$out")"
        sleep 0.2
    done
    if ((tour)); then
        for ((k = STEPS + 2; k <= ${#ENTRY_FILES[@]} + 1; k++)); do
            if [ "$name" = qzview ]; then "$timer" click 0; else "$timer" key Right 0; fi
            sleep 0.4
        done
        add "memory-$name" "$(($(peak_kb "$STARTED_PID") * 1000000 / 1024))"
    fi
    stop_pid "$STARTED_PID"
}

measure_next_pictures() {
    local i name order
    for ((i = 0; i < runs; i++)); do
        if ((i % 2 == 0)); then order="qzview feh"; else order="feh qzview"; fi
        for name in $order; do next_session "$name" $((i == runs - 1 || i == runs - 2)); done
    done
}

# ---------------------------------------------------------------- profile

# Start-up trace of one run (lines "START_NS DURATION_NS NAME DETAIL") into the steps.
# shellcheck disable=SC2016  # awk, not shell
readonly PHASES_AWK='
function mark(name, t) { if (!(name in at)) at[name] = t }
{
    s = $1 / 1e6; e = ($1 + $2) / 1e6
    if ($3 == "main") mark("main", s)
    else if ($3 == "SDL_InitSubSystem" && $4 == "video") mark("video_end", e)
    else if ($3 == "SDL_CreateWindow") mark("window_end", e)
    else if ($3 == "SDL_ShowWindow") mark("show_end", e)
    else if ($3 == "SDL_InitSubSystem" && $4 == "audio") mark("sound_start", s)
    else if ($3 == "fopen" && $4 == "scs00001.BMP") mark("sheet_start", s)
    else if ($3 == "fopen" && $4 == "SCR1.BIL") mark("showfile_start", s)
    else if ($3 == "fopen" && $4 == "scs00002.BMP") mark("title_start", s)
    else if ($3 ~ /^SDL_UpdateWindowSurface/ && ("title_start" in at)) mark("present_start", s)
    else if ($3 == "screen") mark("screen", s)
}
END {
    n = split("main video_end window_end show_end sound_start sheet_start showfile_start title_start present_start screen", names, " ")
    for (i = 1; i <= n; i++) printf "%s %.3f\n", names[i], at[names[i]] - (i > 1 ? at[names[i - 1]] : 0)
}'
readonly PHASE_NAMES=(
    "main:process start, dynamic linking, constructors"
    "video_end:SDL video set-up (session bus, X connection)"
    "window_end:window created"
    "show_end:window shown (mapping, window manager)"
    "sound_start:display device, five surfaces"
    "sheet_start:sound device, sounds 1, 2, 3, 101"
    "showfile_start:graphics sheet"
    "title_start:show file, background sound"
    "present_start:title: read, decode, copy; fonts, text"
    "screen:first present, until the screen shows it"
)

profile_runs() {
    local key=$1 i trace
    for ((i = 0; i < runs; i++)); do
        trace=$work/trace-$key-$i.log
        rm -f "$trace"
        timed_start qzview TITLE env LD_PRELOAD="$work/startup_trace.so" QZ_TRACE_LOG="$trace" \
            "$program"
        stop_pid "$STARTED_PID"
        echo "$STARTED_NS 0 screen" >>"$trace"
        awk "$PHASES_AWK" "$trace" >"$trace.phases"
        add "total-$key" "$STARTED_NS"
    done
}

print_profile() {
    local entry phase label col row
    printf '| %-50s | %-9s | %-9s |\n' "step (median ms of $runs runs)" "no WM" "openbox"
    printf '|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..52})" "-----------" "-----------"
    for entry in "${PHASE_NAMES[@]}"; do
        phase=${entry%%:*}
        label=${entry#*:}
        row=()
        for col in bare wm; do
            row+=("$(cat "$work"/trace-$col-*.log.phases | awk -v p="$phase" '$1 == p { print $2 }' |
                median_of)")
        done
        printf '| %-50s | %9.1f | %9.1f |\n' "$label" "${row[0]}" "${row[1]}"
    done
    printf '| %-50s | %9.1f | %9.1f |\n' "total: fork to the title on the screen" \
        "$(samples total-bare | median_of | awk '{ print $1 / 1e6 }')" \
        "$(samples total-wm | median_of | awk '{ print $1 / 1e6 }')"
}

# ---------------------------------------------------------------- main

check_needs
program=$(realpath "$program")
demo=$(realpath "$demo")
work=$(mktemp -d "${TMPDIR:-/tmp}/qzview-peers.XXXXXX")
timer=$work/screen_timer
cc -O2 -o "$timer" "$root/tests/e2e/screen_timer.c" -lX11 -ldl ||
    die "cannot build the screen timer"
show=$work/show
"$demo" "$show" >/dev/null || die "the demo show could not be written"
read_show_order
# shellcheck disable=SC2034  # read through a name reference in timed_start
mapfile -t TITLE < <(conditions_of "$show/scs00002.BMP" "${TITLE_POINTS[@]}")
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
start_xvfb

if ((profile)); then
    cc -O2 -shared -fPIC -o "$work/startup_trace.so" "$root/tests/e2e/startup_trace.c" -ldl ||
        die "cannot build the start-up trace"
    profile_runs bare
    start_window_manager
    profile_runs wm
    echo
    echo "qzview start-up on Xvfb 1024x768x24, $(nproc) cores, load $load_before before," \
        "$(cut -d' ' -f1-3 /proc/loadavg) after"
    echo
    print_profile
    exit 0
fi

# The first picture of a next-picture session: entry 1 on the row where it differs
# from the title (qzview comes from its title, feh starts on it).
first_row=$("$timer" row "$show/scs00002.BMP" "$show/${ENTRY_FILES[0]}" "$TOL" "$ROW_FROM" \
    "$ROW_TO" 100 900) || die "no row tells the title from the first picture"
mapfile -t FIRST < <(conditions_of "$show/${ENTRY_FILES[0]}" "100,$first_row" "900,$first_row")

say "start-up without a window manager, $runs runs each"
measure_startups bare
start_window_manager
say "start-up with openbox, $runs runs each"
measure_startups wm
say "next picture with openbox, $runs sessions of $STEPS pictures each"
measure_next_pictures

feh_version=$(feh --version | head -n 1 | awk '{ print $3 }')
echo
echo "qzview and feh $feh_version on Xvfb 1024x768x24, $(nproc) cores, load $load_before" \
    "before, $(cut -d' ' -f1-3 /proc/loadavg) after; programs alternating"
echo
printf '| %-52s | %-22s | %-22s | %-6s |\n' "measurement (median, min-max)" "qzview" "feh" "ratio"
printf '|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..54})" "$(printf -- '-%.0s' {1..24})" \
    "$(printf -- '-%.0s' {1..24})" "--------"
table_row() {
    local label=$1 key=$2
    printf '| %-52s | %-22s | %-22s | %-6s |\n' "$label" "$(samples "$key-qzview" | summary)" \
        "$(samples "$key-feh" | summary)" \
        "$(ratio "$(samples "$key-qzview" | median_of)" "$(samples "$key-feh" | median_of)")"
}
table_row "start-up to the first picture, no window manager ($runs)" bare
table_row "start-up to the first picture, openbox ($runs)" wm
table_row "next picture: input to first changed pixel ($(samples next-first-feh | wc -l))" next-first
table_row "next picture: input to last pixel ($(samples next-last-feh | wc -l))" next-last
printf '| %-52s | %-22s | %-22s | %-6s |\n' "peak resident memory, whole show seen" \
    "$(samples memory-qzview | median_of | awk '{ printf "%.1f MB", $1 / 1e6 }')" \
    "$(samples memory-feh | median_of | awk '{ printf "%.1f MB", $1 / 1e6 }')" \
    "$(ratio "$(samples memory-qzview | median_of)" "$(samples memory-feh | median_of)")"
