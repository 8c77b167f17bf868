#!/usr/bin/env bash
# Checks qzview.exe on Wine: the file itself (imports, icon), then three runs of the demo
# show on a virtual X screen, driven with xdotool and compared with what the scripted
# runner draws for the same input.
#
#   platform/win32/wine-check.sh WIN_BUILD_DIR HOST_BUILD_DIR
#
# WIN_BUILD_DIR holds qzview.exe; the Wine prefix, the demo show and the screenshots go
# to WIN_BUILD_DIR/wine-check. HOST_BUILD_DIR holds qzview-demo and qzview-headless.
# Needs wine, wine64, xvfb, xdotool, imagemagick and the mingw-w64 binutils.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 WIN_BUILD_DIR HOST_BUILD_DIR" >&2
  exit 2
fi
win_build=$(cd "$1" && pwd)
host_build=$(cd "$2" && pwd)
exe=$win_build/qzview.exe
demo_tool=$host_build/qzview-demo
headless=$host_build/qzview-headless
work=$win_build/wine-check
failures=0
started=$(date +%s%N)

say() { printf 'wine-check: %s\n' "$*"; }
fail() {
  printf 'wine-check: FAIL %s\n' "$*" >&2
  failures=$((failures + 1))
}
now_ns() { date +%s%N; }
elapsed() {  # START_NS
  local tenths=$((($(now_ns) - $1) / 100000000))
  printf '%d.%d s' $((tenths / 10)) $((tenths % 10))
}

for tool in wine wineboot wineserver winepath Xvfb xdotool import compare convert \
  x86_64-w64-mingw32-objdump x86_64-w64-mingw32-windres; do
  command -v "$tool" >/dev/null || { echo "wine-check: $tool is missing" >&2; exit 1; }
done
for file in "$exe" "$demo_tool" "$headless"; do
  [ -x "$file" ] || { echo "wine-check: $file is missing" >&2; exit 1; }
done

# --- the file ---------------------------------------------------------------------

check_imports() {
  local allowed=" KERNEL32.dll USER32.dll GDI32.dll DDRAW.dll DINPUT.dll DSOUND.dll WINMM.dll msvcrt.dll "
  local dlls
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
  for dll in $dlls; do
    [[ $allowed == *" $dll "* ]] || fail "qzview.exe imports $dll, which Windows does not ship"
  done
  for needed in DDRAW.dll DINPUT.dll DSOUND.dll WINMM.dll; do
    grep -qx "$needed" <<<"$dlls" || fail "qzview.exe does not import $needed"
  done
  say "imports: $(echo $dlls)"
}

check_icon() {
  local resources
  resources=$(x86_64-w64-mingw32-windres -i "$exe" -O rc 2>/dev/null)
  grep -q 'Name: "DESK1"' <<<"$resources" || fail "no icon group DESK1 in qzview.exe"
  # One 32 x 32 image with 32 bits per pixel.
  grep -q '"\\040\\040\\000\\000", 1, 32,' <<<"$resources" ||
    fail "the DESK1 icon is not one 32 x 32 image"
  say "icon group DESK1 present"
}

# --- Wine and the X screen --------------------------------------------------------

export WINEPREFIX=$work/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# DirectSound needs a sound device; ALSA's null device plays into nothing. HOME only
# moves ALSA's configuration (and Wine's, which the prefix overrides anyway).
export HOME=$work/home

# The prefix's settings, applied whenever they differ from those it was last given.
# - Managed=N: without a window manager Wine waits 2 s in DestroyWindow for managed
#   windows.
# - renderer: Wine's default, OpenGL. The GDI renderer would make copies to the visible
#   surface about 50 times faster, but with it Wine 8 crashes now and then inside Flip
#   (a read past the end of the surface, 4 runs in 6 on a busy machine).
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

prepare_prefix() {
  mkdir -p "$HOME"
  echo 'pcm.!default { type null }' >"$HOME/.asoundrc"
  local t settings
  t=$(now_ns)
  settings=$(wine_settings)
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    rm -rf "$WINEPREFIX"
    timeout 180 wineboot -i >/dev/null 2>&1 || { echo "wine-check: wineboot failed" >&2; exit 1; }
  fi
  [ "$(cat "$WINEPREFIX/.qzview-settings" 2>/dev/null)" = "$settings" ] && return 0
  echo "$settings" >"$work/settings.reg"
  timeout 60 wine regedit /S "$(winepath -w "$work/settings.reg" 2>/dev/null)" >/dev/null 2>&1 ||
    { echo "wine-check: the Wine settings could not be applied" >&2; exit 1; }
  timeout 30 wineserver -w || true
  echo "$settings" >"$WINEPREFIX/.qzview-settings"
  say "Wine prefix prepared in $(elapsed "$t")"
}

xvfb_pid=""
show_pid=""
stop_all() {
  [ -n "$show_pid" ] && kill "$show_pid" 2>/dev/null || true
  timeout 30 wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
  show_pid=""
}
trap stop_all EXIT

start_screen() {  # WIDTHxHEIGHTxDEPTH
  local display_file=$run_dir/display
  Xvfb -displayfd 5 -screen 0 "$1" -nolisten tcp 5>"$display_file" 2>"$run_dir/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.05; done
  [ -s "$display_file" ] || { fail "Xvfb did not start"; return 1; }
  export DISPLAY=:$(head -1 "$display_file")
}

start_show() {  # DIR
  (cd "$1" && exec timeout 300 wine "$exe") >"$run_dir/wine.log" 2>&1 &
  show_pid=$!
}

# Waits until the screen shows something and has stopped changing; the last look is
# left in $run_dir/now.png.
wait_settled() {  # TIMEOUT_SECONDS
  local end=$(($(date +%s) + $1)) previous=""
  while [ "$(date +%s)" -lt "$end" ]; do
    import -window root "$run_dir/now.png" 2>/dev/null || { sleep 0.2; continue; }
    local sum
    sum=$(md5sum <"$run_dir/now.png")
    if [ "$sum" = "$previous" ] && [ "$(convert "$run_dir/now.png" -format '%[fx:maxima.r+maxima.g+maxima.b]' info:)" != 0 ]; then
      return 0
    fi
    previous=$sum
    sleep 0.3
  done
  return 1
}

# With Wine's OpenGL renderer every copy to the visible surface costs 5 to 25 ms, so the
# transition (1024 of them) takes 5 to 30 s.
readonly SETTLE_SECONDS=90

shot() {  # NAME
  local t
  t=$(now_ns)
  wait_settled $SETTLE_SECONDS || fail "$run_name: the screen did not settle before $1"
  cp "$run_dir/now.png" "$run_dir/$1.png"
  say "$run_name: $1 settled after $(elapsed "$t")"
}

# As shot, after the screen has first changed from the shot named (the program may not
# have taken the input yet when the old frame still looks settled).
shot_after_change() {  # NAME PREVIOUS
  local end=$(($(date +%s) + SETTLE_SECONDS))
  while [ "$(date +%s)" -lt "$end" ]; do
    import -window root "$run_dir/now.png" 2>/dev/null &&
      ! cmp -s <(convert "$run_dir/now.png" rgb:-) <(convert "$run_dir/$2.png" rgb:-) && break
    sleep 0.1
  done
  shot "$1"
}

wait_show_exit() {  # TIMEOUT_SECONDS; sets show_status
  local end=$(($(date +%s) + $1))
  while kill -0 "$show_pid" 2>/dev/null && [ "$(date +%s)" -lt "$end" ]; do sleep 0.1; done
  if kill -0 "$show_pid" 2>/dev/null; then
    show_status=timeout
    return 1
  fi
  set +e
  wait "$show_pid"
  show_status=$?
  set -e
  show_pid=""
}

# --- comparing with the scripted runner -------------------------------------------

headless_shots() {  # DIR SCRIPT [--depth 16]
  local dir=$1 script=$2
  shift 2
  (cd "$dir" && timeout 60 "$headless" "$@" "$script") >"$run_dir/headless.log" 2>&1 ||
    fail "$run_name: the scripted runner failed (see $run_dir/headless.log)"
}

differing_pixels() {  # A B [FUZZ]
  compare -metric AE -fuzz "${3:-0}" "$1" "$2" null: 2>&1 | cut -d' ' -f1 || true
}

expect_same() {  # NAME [FUZZ]
  local wine_shot=$run_dir/$1.png ref=$run_dir/ref-$1.bmp differing
  [ -f "$wine_shot" ] && [ -f "$ref" ] || { fail "$run_name: no $1 to compare"; return 0; }
  differing=$(differing_pixels "$wine_shot" "$ref" "${2:-0}")
  if [ "$differing" = 0 ]; then
    say "$run_name: $1 matches the scripted runner"
  else
    fail "$run_name: $1 differs from the scripted runner in $differing pixels"
  fi
}

# The title screen: everything but the text band at the bottom left equals the scripted
# runner's frame (which draws no glyphs), and the band holds the yellow title line.
expect_title() {  # [FUZZ]
  local wine_shot=$run_dir/title.png ref=$run_dir/ref-title.bmp band=0,660,1024,768
  [ -f "$wine_shot" ] && [ -f "$ref" ] || { fail "$run_name: no title to compare"; return 0; }
  local masked_wine=$run_dir/title-masked.png masked_ref=$run_dir/ref-title-masked.png
  convert "$wine_shot" -fill black -draw "rectangle ${band//,/ }" "$masked_wine"
  convert "$ref" -fill black -draw "rectangle ${band//,/ }" "$masked_ref"
  local differing yellow
  differing=$(differing_pixels "$masked_wine" "$masked_ref" "${1:-0}")
  [ "$differing" = 0 ] || fail "$run_name: title picture differs in $differing pixels"
  yellow=$(convert "$wine_shot" -crop 700x40+0+680 +repage -fuzz 10% -fill white \
    -opaque '#FFFF00' -fill black +opaque white -format '%[fx:int(mean*w*h)]' info:)
  [ "$yellow" -gt 300 ] || fail "$run_name: no yellow title line ($yellow pixels)"
  say "$run_name: title picture matches, title line drawn ($yellow yellow pixels)"
}

# --- the runs ---------------------------------------------------------------------

fresh_demo() {  # DIR
  rm -rf "$1"
  "$demo_tool" "$1" >/dev/null
}

# Pointer moves are device counts: the pointer moves two pixels for each, from its
# start at (497, 369). Row 1 of the menu's choice column (quit) is at about (399, 139).
readonly TO_QUIT_X=-49 TO_QUIT_Y=-115

write_script() {  # FILE
  cat >"$1" <<EOF
shot ref-title.bmp
click left
shot ref-picture1.bmp
click right
shot ref-menu.bmp
move $TO_QUIT_X $TO_QUIT_Y
click left
EOF
}

# Ends with the menu's quit choice, or with Alt+F4, which closes the window the way a
# user does (the default handling destroys it).
drive_wine_like_script() {  # menu|close-key
  shot title
  xdotool click 1
  shot_after_change picture1 title
  xdotool click 3
  shot_after_change menu picture1
  if [ "$1" = close-key ]; then
    xdotool key alt+F4
    return
  fi
  xdotool mousemove_relative -- $TO_QUIT_X $TO_QUIT_Y
  sleep 0.3
  xdotool click 1
}

run_show_and_quit() {  # NAME GEOMETRY menu|close-key [--depth 16]
  run_name=$1
  local geometry=$2 quit_by=$3
  shift 3
  run_dir=$work/$run_name
  rm -rf "$run_dir"
  mkdir -p "$run_dir"
  local demo=$run_dir/show t
  fresh_demo "$demo"
  write_script "$run_dir/script"
  headless_shots "$demo" "$run_dir/script" "$@"
  mv "$demo"/ref-*.bmp "$run_dir/" 2>/dev/null || true
  fresh_demo "$demo"
  t=$(now_ns)
  start_screen "$geometry" || return 0
  start_show "$demo"
  drive_wine_like_script "$quit_by"
  if wait_show_exit 30; then
    [ "$show_status" = 0 ] || fail "$run_name: qzview.exe ended with status $show_status"
  else
    fail "$run_name: qzview.exe did not end after $quit_by"
  fi
  say "$run_name: ran and ended by $quit_by in $(elapsed "$t") (exit status $show_status)"
  stop_all
}

# An 800 x 600 screen has no 1024 x 768 mode: the start-up message box appears, and the
# program ends with a failure status once it is answered.
run_refused_mode() {
  run_name=small-screen
  run_dir=$work/$run_name
  rm -rf "$run_dir"
  mkdir -p "$run_dir"
  local demo=$run_dir/show t box=""
  fresh_demo "$demo"
  t=$(now_ns)
  start_screen 800x600x24 || return 0
  start_show "$demo"
  local end=$(($(date +%s) + 30))
  while [ -z "$box" ] && [ "$(date +%s)" -lt "$end" ]; do
    local window
    for window in $(xdotool search --onlyvisible --name '^QZVIEW$' 2>/dev/null); do
      local width
      width=$(xdotool getwindowgeometry "$window" | sed -n 's/^ *Geometry: \([0-9]*\)x.*/\1/p')
      [ "${width:-0}" -lt 800 ] && box=$window
    done
    sleep 0.2
  done
  if [ -z "$box" ]; then
    fail "$run_name: no message box appeared"
  else
    sleep 0.5
    import -window root "$run_dir/message-box.png"
    xdotool key Return
  fi
  if wait_show_exit 20; then
    [ "$show_status" != 0 ] || fail "$run_name: a refused display mode ended with status 0"
  else
    fail "$run_name: qzview.exe did not end after the message box was answered"
  fi
  say "$run_name: message box answered, ended in $(elapsed "$t") (exit status $show_status)"
  stop_all
}

mkdir -p "$work"
check_imports
check_icon
prepare_prefix

run_show_and_quit colour32 1024x768x24 menu
expect_title
expect_same picture1
expect_same menu

run_show_and_quit colour16 1024x768x16 close-key --depth 16
# The X server widens 16-bit pixels to 24 bits a little differently from the scripted
# runner (by up to about 1%).
expect_title 2%
expect_same picture1 2%
expect_same menu 2%

run_refused_mode

say "$failures failure(s) in $(elapsed "$started"); screenshots in $work"
[ "$failures" = 0 ]
