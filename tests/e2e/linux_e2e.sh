#!/usr/bin/env bash
# The end-to-end session against the Linux program: once on a 24-bit X server, started
# in the show's directory, once on a 16-bit one with the program on its 16-bit path,
# started elsewhere and told the show's directory on its command line. Each run gets a
# fresh copy of the demo show.
#
# Usage: linux_e2e.sh [QZVIEW [QZVIEW_DEMO]]   (default: build/qzview, build/qzview-demo)
# Exit status: 0 passed, 1 failed, 77 skipped (Xvfb, xdotool or ImageMagick missing).
# Set E2E_KEEP=1 to keep the screenshots of a passing run too.
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

# One run of the session; its files stay in work/NAME. With "elsewhere" the program
# starts in work/NAME and finds the show through its argument.
run_session() {
    local name=$1 depth=$2 start=$3
    shift 3
    local dir="$work/$name" command=("$program")
    "$demo" "$dir/show" >/dev/null
    echo "== $name: $depth-bit screen, started $start"
    if [ "$start" = elsewhere ]; then
        command+=("$dir/show")
        set -- QZ_START_DIR="$dir" "$@"
    fi
    # No sound card is needed: SDL's dummy driver plays into nothing.
    env SDL_AUDIODRIVER=dummy "$@" "$here/scenario.sh" --show "$dir/show" --out "$dir/out" \
        --depth "$depth" -- "${command[@]}"
}

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
e2e_require_tools Xvfb xdotool import convert identify perl
root=$(cd "$here/../.." && pwd)
program=$(realpath "${1:-$root/build/qzview}")
demo=$(realpath "${2:-$root/build/qzview-demo}")
[ -x "$program" ] || { echo "no program at $program" >&2; exit 1; }
[ -x "$demo" ] || { echo "no demo generator at $demo" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/qzview-e2e.XXXXXX")
status=0
run_session depth24 24 "in the show" || status=1
if [ "$status" -eq 0 ]; then
    run_session depth16 16 elsewhere QZVIEW_DEPTH=16 || status=1
fi
if [ "$status" -eq 0 ] && [ "${E2E_KEEP:-0}" != 1 ]; then
    rm -rf "$work"
else
    echo "files kept in $work"
fi
exit "$status"
