#!/usr/bin/env bash
# The programs' command lines, run as a user runs them: exit statuses and the lines
# they print. One outcome per run.
#
# Usage: command_line.sh OUTCOME BIN_DIR VERSION
#   OUTCOME  help | version | unknown-option | not-a-directory | not-a-show |
#            demo-over-a-show
#   BIN_DIR  where qzview, qzview-show, qzview-demo and qzview-headless are
#   VERSION  the project's version, which --version must report
set -uo pipefail

outcome=$1
bin=$(realpath "$2")
version=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/qzview-cli.XXXXXX")
trap 'chmod -R u+rwx "$work"; rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0

# run PROGRAM ARGS...: sets STATUS, OUT and ERR (standard output and error).
run() {
    COMMAND="$*"
    "$@" >"$work/out" 2>"$work/err"
    STATUS=$?
    OUT=$(<"$work/out")
    ERR=$(<"$work/err")
}
fail() {
    printf 'FAIL: %s: %s\n  stdout: %s\n  stderr: %s\n' "$COMMAND" "$1" "$OUT" "$ERR"
    failures=$((failures + 1))
}
expect_status() { [ "$STATUS" -eq "$1" ] || fail "exit status $STATUS, expected $1"; }
expect_out() { [ "$OUT" = "$1" ] || fail "standard output is not '$1'"; }
expect_err() { [ "$ERR" = "$1" ] || fail "standard error is not '$1'"; }
expect_out_has() { grep -qF -- "$1" <<<"$OUT" || fail "standard output lacks '$1'"; }
expect_err_has() { grep -qF -- "$1" <<<"$ERR" || fail "standard error lacks '$1'"; }

# No display is reachable: a program that tried to open its window says so and fails.
unset DISPLAY WAYLAND_DISPLAY
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy

case $outcome in
    help)
        for option in --help -h; do
            run "$bin/qzview" "$option"
            expect_status 0
            expect_err ""
            [ "$(head -n 1 <<<"$OUT")" = "usage: qzview [OPTIONS] [DIR]" ] || fail "no usage line"
            for word in SCR1.BIL scs00001.BMP "qzview-demo DIR" QZVIEW_DEPTH QZVIEW_FONT \
                QZVIEW_SOUND_TRACE --version "Exit status"; do
                expect_out_has "$word"
            done
        done
        run "$bin/qzview-demo" --help
        expect_status 0
        expect_out_has "usage: qzview-demo DIR"
        ;;
    version)
        for program in qzview qzview-show qzview-demo qzview-headless; do
            run "$bin/$program" --version
            expect_status 0
            expect_out "qzview $version"
            expect_err ""
        done
        ;;
    unknown-option)
        run "$bin/qzview" --bogus
        expect_status 2
        expect_out ""
        expect_err_has "qzview: unknown option '--bogus'"
        expect_err_has "usage: qzview [OPTIONS] [DIR]"
        run "$bin/qzview" one two
        expect_status 2
        expect_err_has "usage: qzview [OPTIONS] [DIR]"
        # An option is never taken for the directory to write into.
        run "$bin/qzview-demo" --bogus
        expect_status 2
        expect_err_has "usage: qzview-demo DIR"
        [ ! -e "$work/--bogus" ] || fail "a directory named --bogus was written"
        ;;
    not-a-directory)
        run "$bin/qzview" "$work/missing"
        expect_status 2
        expect_err "qzview: $work/missing: no such directory"
        touch "$work/file"
        run "$bin/qzview" "$work/file"
        expect_status 2
        expect_err "qzview: $work/file: not a directory"
        if [ "$(id -u)" -ne 0 ]; then  # root reads every directory
            mkdir "$work/locked" && touch "$work/locked/SCR1.BIL" && chmod 000 "$work/locked"
            run "$bin/qzview" "$work/locked"
            expect_status 2
            expect_err "qzview: $work/locked: cannot be read (Permission denied)"
        fi
        ;;
    not-a-show)
        mkdir "$work/empty"
        expected="qzview: $work/empty holds no show (neither SCR1.BIL nor scs00001.BMP);"
        expected+=" 'qzview-demo $work/empty' writes a demo show there"
        run "$bin/qzview" "$work/empty"
        expect_status 1
        expect_out ""
        expect_err "$expected"
        # Without DIR the working directory is the show's.
        run env -C "$work/empty" "$bin/qzview"
        expect_status 1
        expect_err "$expected"
        # One of the two key files is enough: such a show gets as far as the display.
        for key in SCR1.BIL scs00001.BMP; do
            mkdir "$work/$key.only" && touch "$work/$key.only/$key"
            run "$bin/qzview" "$work/$key.only"
            expect_status 1
            expect_err_has "qzview: no display could be opened"
        done
        ;;
    demo-over-a-show)
        # A directory with a show of its own keeps it: the demo names what it found.
        for key in SCR1.BIL scs00001.BMP; do
            mkdir "$work/$key.show" && printf 'own' >"$work/$key.show/$key"
            run "$bin/qzview-demo" "$work/$key.show"
            expect_status 1
            expect_err_has "qzview-demo: $work/$key.show holds a show already ($work/$key.show/$key)"
            if [ "$(ls "$work/$key.show")" != "$key" ] || [ "$(<"$work/$key.show/$key")" != own ]; then
                fail "the directory was changed"
            fi
        done
        run "$bin/qzview-demo" "$work/fresh"
        expect_status 0
        [ -f "$work/fresh/SCR1.BIL" ] || fail "no demo show was written"
        ;;
    *)
        echo "unknown outcome $outcome" >&2
        exit 2
        ;;
esac
[ "$failures" -eq 0 ] && echo "$outcome: passed"
exit $((failures > 0))
