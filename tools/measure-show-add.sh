#!/usr/bin/env bash
# Measures `qzview-show add` against ImageMagick on photos of 4000 x 3000: the same
# JPEGs once through one `qzview-show add` of all of them, and once through
# `convert IN -filter box -resize 1024x768 OUT.bmp`, one process per file as a user
# would script it. The photos are made here with libvips' command line: smooth
# colour waves with a little grain and hard-edged bands, saved at quality 90, about
# the size a camera writes. Prints both wall times (best of RUNS) and their ratio.
#
# Then the sharpness of the reduction to the screen: a test card of 4000 x 3000 (mid
# grey with white strokes of 3 and 2 pixels, like text and interface lines) shrunk by
# `qzview-show add` (exact-area resampling) and by libvips' own box reduction
# (`vips shrink`: a box filter for the whole part of the factor, Lanczos-3 for the
# rest). For each: the brightest stroke (how much of a thin line survives), the mean
# step between neighbouring pixels (edge contrast), and the share of pixels darker
# than the grey they lie on (halos: an average of grey and white never is).
# Not a test: it fails only when it cannot measure.
#
# Usage: tools/measure-show-add.sh [QZVIEW_SHOW] [PHOTOS]   (default: build/qzview-show, 20)
# Needs: vips (libvips-tools) and ImageMagick's convert.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
show_tool=$(realpath "${1:-$root/build/qzview-show}")
readonly PHOTOS=${2:-20}
readonly RUNS=3
for tool in vips convert; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/qzview-show-speed.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

# One photo-like picture, then copies that differ in their first row so that no
# cache can know them.
vips sines red.v 4000 3000 --hfreq 2 --vfreq 1.5
vips sines green.v 4000 3000 --hfreq 0.7 --vfreq 3
vips sines blue.v 4000 3000 --hfreq 5 --vfreq 0.5
vips bandjoin "red.v green.v blue.v" waves.v
vips linear waves.v shaded.v "70 60 80" "128 120 110"
vips gaussnoise grain.v 4000 3000 --mean 0 --sigma 6
vips add shaded.v grain.v grainy.v
vips xyz xy.v 4000 3000
vips extract_band xy.v x.v 0
vips remainder_const x.v stripes.v 400
vips relational_const stripes.v bands.v moreeq 380
vips linear bands.v dark.v " -0.004" 1
vips cast dark.v dark_float.v float
vips multiply grainy.v dark_float.v photo.v
vips cast photo.v photo8.v uchar
for i in $(seq -w 1 "$PHOTOS"); do
  vips draw_rect photo8.v "[$i, $i, $i]" 0 0 "$((10#$i))" 1 --fill >/dev/null 2>&1 || true
  vips copy photo8.v "photo$i.jpg[Q=90]"
done
rm -f ./*.v
size=$(du -k photo01.jpg | cut -f1)

best() {  # "wall cpu": the run of RUNS with the least wall time, and its processor time
  local best=""
  for _ in $(seq "$RUNS"); do
    rm -rf show out && mkdir out
    "$show_tool" new show >/dev/null
    local figures
    figures=$( { TIMEFORMAT='%R %U %S'; time "$@" >/dev/null 2>&1; } 2>&1)
    best=$(echo "$figures $best" |
      awk '{if ($4 == "" || $1 < $4) print $1, $2 + $3; else print $4, $5}')
  done
  echo "$best"
}
imagemagick() {
  for photo in photo*.jpg; do convert "$photo" -filter box -resize 1024x768 "out/$photo.bmp"; done
}

ours=$(best "$show_tool" add --dir show photo*.jpg)
theirs=$(best imagemagick)
printf '%d photos of 4000x3000 (JPEG, %d KB each), best of %d runs on %d cores\n' \
  "$PHOTOS" "$size" "$RUNS" "$(nproc)"
echo "$ours $theirs" | awk '{
  printf "  qzview-show add, all at once:       %6.2f s wall, %6.2f s processor\n", $1, $2
  printf "  convert -filter box -resize, each:  %6.2f s wall, %6.2f s processor\n", $3, $4
  printf "  ratio of wall times: %.2f (goal: at most 0.50), of processor times: %.2f\n", \
    $1 / $3, $2 / $4 }'

# The test card and its two reductions, compared on the red channel.
vips xyz xy.v 4000 3000
vips extract_band xy.v x.v 0
vips extract_band xy.v y.v 1
vips remainder_const x.v across.v 41
vips remainder_const y.v down.v 37
vips relational_const across.v columns.v less 3
vips relational_const down.v rows.v less 2
vips boolean columns.v rows.v strokes.v or
vips linear strokes.v card.v 0.498 128 --uchar
vips copy card.v card.png
rm -rf show && "$show_tool" new show >/dev/null && "$show_tool" add --dir show card.png >/dev/null
vips extract_band show/scs00100.BMP exact.v 0
vips shrink card.v box.v 3.90625 3.90625
echo "a test card of 4000x3000 (white strokes on grey 128) reduced to 1024x768:"
for reduction in exact box; do
  vips cast "$reduction.v" float.v float
  vips extract_area float.v left.v 0 0 1023 768
  vips extract_area float.v right.v 1 0 1023 768
  vips subtract left.v right.v step.v
  vips abs step.v size.v
  vips relational_const "$reduction.v" dark.v less 128
  printf '  %-42s brightest %3.0f, mean step %5.2f, darker than the grey %5.1f %%\n' \
    "$([ "$reduction" = exact ] && echo "qzview-show add (exact area):" ||
       echo "vips shrink (box, then Lanczos-3):")" \
    "$(vips max "$reduction.v")" "$(vips avg size.v)" \
    "$(echo "$(vips avg dark.v)" | awk '{print $1 / 2.55}')"
done
