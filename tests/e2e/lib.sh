# shellcheck shell=bash disable=SC2034  # the globals set here are read by the scripts that source it
# The pieces of qzview's end-to-end tests that do not depend on which build of the
# program runs: a private X server, mouse and keyboard input through xdotool,
# screenshots and pixel checks through ImageMagick, the wait for the program's end and
# the show file SCR1.BIL as bytes. Sourced by scenario.sh.
#
# Needs: Xvfb, xdotool, ImageMagick (import, convert, identify), perl, od, cmp, dd.

readonly SCREEN_W=1024
readonly SCREEN_H=768
# The program moves its pointer two pixels per mouse count and keeps the pointer's
# top-left corner within 0..1007 and 0..751.
readonly POINTER_MAX_X=1007
readonly POINTER_MAX_Y=751
readonly POINTER_SIZE=16
# Enough counts to reach any edge from anywhere.
readonly EDGE_COUNTS=600

E2E_OUT=${E2E_OUT:-}
E2E_TOL=${E2E_TOL:-3}
# How long one step may take to reach the screen.
E2E_STEP_MS=${E2E_STEP_MS:-10000}
E2E_T0_MS=$(date +%s%3N)
XVFB_PID=""
PROGRAM_PID=""
PROGRAM_STATUS=""
PROGRAM_EXIT_MS=""
SHOT_COUNTER=0
LAST_SHOT=""
PREV_SHOT=""

# ---------------------------------------------------------------- log and failure

# Exits with 77 (skipped) naming the tools that are not installed. Only missing tools
# skip a run; everything else that goes wrong fails it.
e2e_require_tools() {
    local tool missing=()
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "SKIP: not installed: ${missing[*]} (tools/install-deps.sh test installs them)"
        exit 77
    fi
}

now_ms() { date +%s%3N; }

e2e_log() {
    local d=$(($(now_ms) - E2E_T0_MS))
    printf '[%4d.%03d s] %s\n' $((d / 1000)) $((d % 1000)) "$*"
}

# Raw screenshots become PNG files only when somebody is going to look at them.
keep_screenshots() {
    local raw
    for raw in "$E2E_OUT"/shots/*.rgb; do
        [ -e "$raw" ] || continue
        convert -size "${SCREEN_W}x${SCREEN_H}" -depth 8 "rgb:$raw" "${raw%.rgb}.png" &&
            rm -f "$raw"
    done
}

e2e_fail() {
    e2e_log "FAIL: $*"
    keep_screenshots
    echo "screenshots and logs kept in $E2E_OUT (last screen: ${LAST_SHOT%.rgb}.png)" >&2
    if [ -s "$E2E_OUT/program.log" ]; then
        echo "--- program output:" >&2
        tail -n 20 "$E2E_OUT/program.log" >&2
    fi
    exit 1
}

# Runs a command that talks to the X server, with a time-out: a wedged server must
# not hang the test.
x_run() { timeout 10 "$@"; }

# ---------------------------------------------------------------- the X server

# Starts Xvfb on a display number that the server picks itself, so that parallel runs
# and other X servers on the machine never collide.
xvfb_start() {
    local geometry=$1 number_file="$E2E_OUT/xvfb.display" deadline size
    size=${geometry%x*}
    size=${size/x/ }
    : >"$number_file"
    Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp 3>"$number_file" \
        >"$E2E_OUT/xvfb.log" 2>&1 &
    XVFB_PID=$!
    deadline=$(($(now_ms) + 10000))
    until [ -s "$number_file" ]; do
        kill -0 "$XVFB_PID" 2>/dev/null || e2e_fail "Xvfb ended at start (see $E2E_OUT/xvfb.log)"
        [ "$(now_ms)" -lt "$deadline" ] || e2e_fail "Xvfb gave no display number within 10 s"
        sleep 0.05
    done
    DISPLAY=":$(head -n 1 "$number_file")"
    export DISPLAY
    until [ "$(x_run xdotool getdisplaygeometry 2>/dev/null || true)" = "$size" ]; do
        [ "$(now_ms)" -lt "$deadline" ] || e2e_fail "Xvfb on $DISPLAY does not answer as a ${size/ /x} screen"
        sleep 0.05
    done
    e2e_log "Xvfb $geometry on $DISPLAY"
}

xvfb_stop() {
    [ -n "$XVFB_PID" ] || return 0
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
}

# ---------------------------------------------------------------- the program

# Starts the program in its show directory; the subshell execs, so PROGRAM_PID is the
# program's own process.
program_start() {
    local dir=$1
    shift
    (cd "$dir" && exec "$@") >"$E2E_OUT/program.log" 2>&1 &
    PROGRAM_PID=$!
    e2e_log "started $* (pid $PROGRAM_PID) in $dir"
}

# 0 while the program runs. An ended child stays a zombie until it is waited for, so
# its state letter is looked at rather than kill -0.
program_running() {
    local stat
    [ -n "$PROGRAM_PID" ] || return 1
    stat=$(cat "/proc/$PROGRAM_PID/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    [ "${stat%% *}" != Z ]
}

# Waits up to limit_ms for the program to end; sets PROGRAM_STATUS and PROGRAM_EXIT_MS
# (when the end was seen). Returns 1 if it still runs.
program_wait_exit() {
    local limit_ms=$1 deadline
    deadline=$(($(now_ms) + limit_ms))
    while program_running; do
        [ "$(now_ms)" -lt "$deadline" ] || return 1
        sleep 0.01
    done
    PROGRAM_EXIT_MS=$(now_ms)
    program_reap
    PROGRAM_PID=""
}

# Sets PROGRAM_STATUS to the ended program's exit status.
program_reap() {
    PROGRAM_STATUS=0
    wait "$PROGRAM_PID" || PROGRAM_STATUS=$?
}

program_stop() {
    [ -n "$PROGRAM_PID" ] || return 0
    kill "$PROGRAM_PID" 2>/dev/null || true
    program_wait_exit 3000 || kill -KILL "$PROGRAM_PID" 2>/dev/null || true
    wait "$PROGRAM_PID" 2>/dev/null || true
    PROGRAM_PID=""
}

# Prints the id of the visible window called name once it exists.
window_find() {
    local name=$1 timeout_ms=$2 deadline id
    deadline=$(($(now_ms) + timeout_ms))
    while :; do
        id=$(x_run xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null | head -n 1) || true
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        program_running || e2e_fail "the program ended before its window appeared"
        [ "$(now_ms)" -lt "$deadline" ] || e2e_fail "no window called $name within $timeout_ms ms"
        sleep 0.1
    done
}

# Gives the window the input focus and waits until the server says it has it. Without
# a window manager nobody else does; a driver whose program needs more than the X
# focus (Wine's WM_TAKE_FOCUS) names a command in QZ_FOCUS_HOOK, called with the id.
window_focus() {
    local id=$1 timeout_ms=$2 deadline
    deadline=$(($(now_ms) + timeout_ms))
    while [ "$(x_run xdotool getwindowfocus 2>/dev/null || true)" != "$id" ]; do
        x_run xdotool windowfocus "$id" 2>/dev/null || true
        [ "$(now_ms)" -lt "$deadline" ] || e2e_fail "window $id did not get the focus"
        sleep 0.1
    done
    if [ -n "${QZ_FOCUS_HOOK:-}" ]; then
        # shellcheck disable=SC2086  # the hook is a command line
        $QZ_FOCUS_HOOK "$id" || e2e_fail "focus hook '$QZ_FOCUS_HOOK' failed"
    fi
}

# ---------------------------------------------------------------- mouse and keyboard

# Where the program's mouse stands (motion applies to it), and where its pointer
# image may be drawn: a press without any motion draws it at the published position,
# which is (0, 0) until the first motion.
MOUSE_X=497
MOUSE_Y=369
SHOWN_X=0
SHOWN_Y=0

clamp() {
    local v=$1 lo=$2 hi=$3
    ((v < lo)) && v=$lo
    ((v > hi)) && v=$hi
    echo "$v"
}

# The input device's primitives: relative motion in mouse counts, a click of button 1
# (left) or 3 (right), typed text and key presses by X keysym name. A driver for
# another kind of screen (see scenario.sh's QZ_DRIVER) replaces these, the screen_*
# and program_* functions and saved_show_file.
device_move() { x_run xdotool mousemove_relative -- "$1" "$2" || e2e_fail "xdotool could not move the mouse"; }
device_click() { x_run xdotool click "$1" || e2e_fail "xdotool could not click"; }
# Umlauts are lost when typed faster.
device_type() { x_run xdotool type --delay 100 -- "$1" || e2e_fail "xdotool could not type"; }
device_keys() { x_run xdotool key --delay 100 "$@" || e2e_fail "xdotool could not press $*"; }

pointer_move() {
    local dx=$1 dy=$2
    device_move "$dx" "$dy"
    MOUSE_X=$(clamp $((MOUSE_X + 2 * dx)) 0 "$POINTER_MAX_X")
    MOUSE_Y=$(clamp $((MOUSE_Y + 2 * dy)) 0 "$POINTER_MAX_Y")
    SHOWN_X=$MOUSE_X
    SHOWN_Y=$MOUSE_Y
}

# Moves the pointer to exactly (x, y). Motion counts double, so a target of the
# other parity is reached by way of an edge: 0 is even, 1007 and 751 are odd.
pointer_to() {
    local x=$1 y=$2 edge_dx=0 edge_dy=0
    if (((x - MOUSE_X) % 2 != 0)); then
        if ((x % 2 == 0)); then edge_dx=-$EDGE_COUNTS; else edge_dx=$EDGE_COUNTS; fi
    fi
    if (((y - MOUSE_Y) % 2 != 0)); then
        if ((y % 2 == 0)); then edge_dy=-$EDGE_COUNTS; else edge_dy=$EDGE_COUNTS; fi
    fi
    if ((edge_dx != 0 || edge_dy != 0)); then pointer_move "$edge_dx" "$edge_dy"; fi
    pointer_move $(((x - MOUSE_X) / 2)) $(((y - MOUSE_Y) / 2))
    if ((MOUSE_X != x || MOUSE_Y != y)); then
        e2e_fail "pointer tracking cannot reach ($x, $y), got ($MOUSE_X, $MOUSE_Y)"
    fi
}

click_left() { device_click 1; }
click_right() { device_click 3; }
click_at() {
    pointer_to "$1" "$2"
    click_left
}
type_text() { device_type "$1"; }
press_keys() { device_keys "$@"; }

# ---------------------------------------------------------------- screenshots and pixels

# Takes a screenshot of the whole screen as raw 8-bit RGB (1024 x 768 x 3 bytes);
# every step keeps its last one. Sets LAST_SHOT.
screen_shot() {
    local name=${1//[^A-Za-z0-9]/-}
    LAST_SHOT="$E2E_OUT/shots/$(printf '%02d' "$SHOT_COUNTER")-$name.rgb"
    screen_grab "$LAST_SHOT"
}
screen_grab() {
    x_run import -window root -depth 8 "rgb:$1" 2>>"$E2E_OUT/import.log" ||
        e2e_fail "import could not take a screenshot"
}

# Sets SAVED_SHOW_FILE to where the show file the program saved in the show directory
# can be read.
saved_show_file() { SAVED_SHOW_FILE="$1/SCR1.BIL"; }

# Reference pictures as raw RGB files, with their widths and heights.
declare -A REF_PATH=() REF_W=() REF_H=()
ref_load() {
    local key=$1 bmp=$2 raw="$E2E_OUT/ref/$1.rgb" size
    [ -n "${REF_PATH[$key]:-}" ] && return 0
    [ -f "$bmp" ] || e2e_fail "reference picture $bmp is missing"
    size=$(identify -format '%w %h' "$bmp") || e2e_fail "identify cannot read $bmp"
    convert "$bmp" -depth 8 "rgb:$raw" || e2e_fail "convert cannot read $bmp"
    REF_PATH[$key]=$raw
    REF_W[$key]=${size% *}
    REF_H[$key]=${size#* }
}

# Pixel reads on raw RGB files, many in one process. "get FILE WIDTH x y x y ..."
# prints "R G B" for each point; a further "@ FILE WIDTH" among the points goes on in
# another file. "count FILE WIDTH X Y W H R G B TOL" prints how many pixels of the
# rectangle lie within TOL of the colour in every channel. (perl-base is part of every
# Debian system; a shell loop over od would start a process per pixel.)
# shellcheck disable=SC2016  # perl, not shell
readonly PIXEL_TOOL='
use strict; use warnings;
my ($command, $file, $width) = splice(@ARGV, 0, 3);
my $in;
sub open_raw { open($in, "<:raw", $file) or die "cannot read $file: $!\n"; }
open_raw();
if ($command eq "get") {
    while (@ARGV) {
        if ($ARGV[0] eq "@") {
            (undef, $file, $width) = splice(@ARGV, 0, 3);
            open_raw();
            next;
        }
        my ($x, $y) = splice(@ARGV, 0, 2);
        seek($in, ($y * $width + $x) * 3, 0) or die "cannot seek in $file\n";
        read($in, my $bytes, 3) == 3 or die "$file has no pixel ($x, $y)\n";
        print join(" ", unpack("C3", $bytes)), "\n";
    }
} elsif ($command eq "count") {
    my ($x0, $y0, $w, $h, $r, $g, $b, $tol) = @ARGV;
    seek($in, $y0 * $width * 3, 0) or die "cannot seek in $file\n";
    read($in, my $rows, $h * $width * 3) == $h * $width * 3 or die "$file is too short\n";
    my $n = 0;
    for my $y (0 .. $h - 1) {
        for my $x ($x0 .. $x0 + $w - 1) {
            my ($pr, $pg, $pb) = unpack("C3", substr($rows, ($y * $width + $x) * 3, 3));
            $n++ if abs($pr - $r) <= $tol && abs($pg - $g) <= $tol && abs($pb - $b) <= $tol;
        }
    }
    print "$n\n";
} else {
    die "unknown command $command\n";
}
'
pixels_of() { perl -e "$PIXEL_TOOL" get "$@"; }
count_colour() { perl -e "$PIXEL_TOOL" count "$@"; }
# Arguments that make pixels_of read a loaded reference: KEY.
ref_args() { REF_ARGS=("${REF_PATH[$1]}" "${REF_W[$1]}"); }

# 0 when every channel of two "R G B" colours differs by at most tol.
colour_near() {
    local a b tol=$3 i d
    read -r -a a <<<"$1"
    read -r -a b <<<"$2"
    for i in 0 1 2; do
        d=$((a[i] - b[i]))
        ((d < 0)) && d=$((-d))
        ((d <= tol)) || return 1
    done
}

# ---------------------------------------------------------------- expected screens

# An expected screen is a list of pixel expectations ("x y R G B what") and colour
# counts ("x y w h R G B minimum what"). Points under the pointer image are skipped.
EXP_PIXELS=()
EXP_COUNTS=()
EXP_REPORT=""
expect_reset() {
    EXP_PIXELS=()
    EXP_COUNTS=()
}
expect_pixel() { EXP_PIXELS+=("$1 $2 $3 $4"); }
expect_count() { EXP_COUNTS+=("$1 $2 $3 $4 $5 $6 $7"); }

under_pointer() {
    local x=$1 y=$2
    ((x >= SHOWN_X && x < SHOWN_X + POINTER_SIZE && y >= SHOWN_Y && y < SHOWN_Y + POINTER_SIZE))
}

# 0 when the screenshot meets every expectation; otherwise EXP_REPORT says which
# did not.
expectations_hold() {
    local shot=$1 entry x y r g b what n x0 y0 w h min i points=() checked=() got=()
    EXP_REPORT=""
    for entry in "${EXP_PIXELS[@]}"; do
        read -r x y _ <<<"$entry"
        under_pointer "$x" "$y" && continue
        points+=("$x" "$y")
        checked+=("$entry")
    done
    if ((${#points[@]} > 0)); then
        mapfile -t got < <(pixels_of "$shot" "$SCREEN_W" "${points[@]}")
        ((${#got[@]} == ${#checked[@]})) || e2e_fail "cannot read pixels of $shot"
    fi
    for ((i = 0; i < ${#checked[@]}; i++)); do
        read -r x y r g b what <<<"${checked[i]}"
        colour_near "${got[i]}" "$r $g $b" "$E2E_TOL" ||
            EXP_REPORT+="  $what at ($x, $y): expected $r $g $b, screen has ${got[i]}"$'\n'
    done
    for entry in "${EXP_COUNTS[@]}"; do
        read -r x0 y0 w h r g b min what <<<"$entry"
        n=$(count_colour "$shot" "$SCREEN_W" "$x0" "$y0" "$w" "$h" "$r" "$g" "$b" "$E2E_TOL")
        ((n >= min)) ||
            EXP_REPORT+="  $what: $n pixels of $r $g $b in ${w}x${h}+$x0+$y0, expected >= $min"$'\n'
    done
    [ -z "$EXP_REPORT" ]
}

# Waits until the screen meets the current expectations. The expectations must not
# already hold for the previous step's screen: a check that cannot tell the two apart
# would prove nothing about the input that came between.
wait_screen() {
    local name=$1 timeout_ms=${2:-$E2E_STEP_MS} deadline
    ((${#EXP_PIXELS[@]} + ${#EXP_COUNTS[@]} > 0)) || e2e_fail "$name: nothing to check"
    if [ -n "$PREV_SHOT" ] && expectations_hold "$PREV_SHOT"; then
        e2e_fail "$name: the checks also hold for the previous screen ($PREV_SHOT)"
    fi
    SHOT_COUNTER=$((SHOT_COUNTER + 1))
    deadline=$(($(now_ms) + timeout_ms))
    while :; do
        screen_shot "$name"
        if expectations_hold "$LAST_SHOT"; then
            e2e_log "$name: ok (${#EXP_PIXELS[@]} pixels, ${#EXP_COUNTS[@]} counts)"
            PREV_SHOT=$LAST_SHOT
            return 0
        fi
        program_running || e2e_fail "$name: the program ended"$'\n'"$EXP_REPORT"
        [ "$(now_ms)" -lt "$deadline" ] ||
            e2e_fail "$name: not on screen within $timeout_ms ms:"$'\n'"$EXP_REPORT"
        sleep 0.1
    done
}

# 0 when rows y0..y1-1 of two screenshots are equal.
rows_equal() {
    local first=$1 second=$2 y0=$3 y1=$4 start
    start=$((y0 * SCREEN_W * 3))
    cmp -s -i "$start:$start" -n $(((y1 - y0) * SCREEN_W * 3)) "$first" "$second"
}

# For steps whose only visible effect is text: waits until rows y0..y1-1 differ from
# the previous step's screen and then stay the same for one more screenshot.
wait_rows_change() {
    local name=$1 y0=$2 y1=$3 timeout_ms=${4:-$E2E_STEP_MS} deadline before
    [ -n "$PREV_SHOT" ] || e2e_fail "$name: no previous screen to compare with"
    SHOT_COUNTER=$((SHOT_COUNTER + 1))
    deadline=$(($(now_ms) + timeout_ms))
    before=""
    while :; do
        screen_shot "$name"
        if ! rows_equal "$LAST_SHOT" "$PREV_SHOT" "$y0" "$y1"; then
            if [ -n "$before" ] && rows_equal "$LAST_SHOT" "$before" "$y0" "$y1"; then
                e2e_log "$name: ok (rows $y0..$((y1 - 1)) changed)"
                rm -f "$before"
                PREV_SHOT=$LAST_SHOT
                return 0
            fi
            [ -n "$before" ] && rm -f "$before"
            before="$LAST_SHOT.before"
            cp "$LAST_SHOT" "$before"
        fi
        program_running || e2e_fail "$name: the program ended"
        [ "$(now_ms)" -lt "$deadline" ] ||
            e2e_fail "$name: rows $y0..$((y1 - 1)) did not change and settle within $timeout_ms ms"
        sleep 0.1
    done
}

# ---------------------------------------------------------------- the show file

# SCR1.BIL is a headerless image of the picture table: two int32 counters, then the
# columns of 500 entries each, int32 little-endian except the one byte per entry of
# the marks. Offsets of the blocks in file order:
declare -A BIL_BLOCK=(
    [first_picture]=0 [picture_count]=4 [pic_file]=8 [pic_box1]=2008 [pic_wave]=4008
    [pic_level]=6008 [pic_marked]=8008 [pic_box1_x]=8508 [pic_box1_y]=10508
    [pic_box2]=12508 [pic_box2_x]=14508 [pic_box2_y]=16508 [pic_box3]=18508
    [pic_box3_x]=20508 [pic_box3_y]=22508
)
readonly BIL_SIZE=24508
readonly BIL_ORDER="first_picture picture_count pic_file pic_box1 pic_wave pic_level pic_marked pic_box1_x pic_box1_y pic_box2 pic_box2_x pic_box2_y pic_box3 pic_box3_x pic_box3_y"

bil_offset() {
    local column=$1 entry=${2:-0}
    case $column in
        first_picture | picture_count) echo "${BIL_BLOCK[$column]}" ;;
        pic_marked) echo $((BIL_BLOCK[$column] + entry)) ;;
        *) echo $((BIL_BLOCK[$column] + 4 * entry)) ;;
    esac
}

# Reads one value (column and entry) of a show file.
bil_get() {
    local file=$1 column=$2 entry=${3:-0} offset b0 b1 b2 b3 v
    offset=$(bil_offset "$column" "$entry")
    if [ "$column" = pic_marked ]; then
        od -An -tu1 -N1 -j "$offset" "$file" | tr -d ' '
        return
    fi
    read -r b0 b1 b2 b3 < <(od -An -tu1 -N4 -j "$offset" "$file")
    v=$((b0 | b1 << 8 | b2 << 16 | b3 << 24))
    ((v >= 2147483648)) && v=$((v - 4294967296))
    echo "$v"
}

# Writes one value into a show file, in place.
bil_set() {
    local file=$1 column=$2 entry=$3 value=$4 offset u bytes
    offset=$(bil_offset "$column" "$entry")
    u=$((value & 0xFFFFFFFF))
    if [ "$column" = pic_marked ]; then
        bytes=$(printf '\\x%02x' $((u & 255)))
    else
        bytes=$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((u & 255)) $((u >> 8 & 255)) \
            $((u >> 16 & 255)) $((u >> 24 & 255)))
    fi
    # shellcheck disable=SC2059  # the format is the escaped bytes
    printf "$bytes" | dd of="$file" bs=1 seek="$offset" conv=notrunc status=none
}

# Names the column and entry of a 0-based byte offset, for failure reports.
bil_describe() {
    local offset=$1 column start best=first_picture
    for column in $BIL_ORDER; do
        start=${BIL_BLOCK[$column]}
        ((offset >= start)) && best=$column
    done
    start=${BIL_BLOCK[$best]}
    case $best in
        first_picture | picture_count) echo "$best" ;;
        pic_marked) echo "${best}[$((offset - start))]" ;;
        *) echo "${best}[$(((offset - start) / 4))] byte $(((offset - start) % 4))" ;;
    esac
}

# Compares a written show file with the expected bytes; fails with the differing
# fields named.
bil_compare() {
    local expected=$1 actual=$2 size line offset
    [ -f "$actual" ] || e2e_fail "show file $actual is missing"
    size=$(stat -c %s "$actual")
    [ "$size" -eq "$BIL_SIZE" ] || e2e_fail "show file is $size bytes long, expected $BIL_SIZE"
    cmp -s "$expected" "$actual" && return 0
    local report=""
    while read -r line; do
        read -r offset _ <<<"$line"
        report+="  $(bil_describe $((offset - 1))): $line"$'\n'
    done < <(cmp -l "$expected" "$actual" | head -n 20)
    e2e_fail "show file differs from the expected bytes (offset, expected, written, octal):"$'\n'"$report"
}
