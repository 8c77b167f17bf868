#!/usr/bin/env bash
# The programs' command lines, run as a user runs them: exit statuses and the lines
# they print. One outcome per run.
#
# Usage: command_line.sh OUTCOME BIN_DIR VERSION
#   OUTCOME  help | version | unknown-option | not-a-directory | not-a-show | option-values |
#            pictures | folder | demo-over-a-show
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
            [ "$(head -n 1 <<<"$OUT")" = "usage: qzview [OPTIONS] [DIR | PICTURES...]" ] ||
                fail "no usage line"
            for word in SCR1.BIL scs00001.BMP "qzview-demo DIR" QZVIEW_DEPTH QZVIEW_FONT \
                QZVIEW_SOUND_TRACE --version --rebuild XDG_CACHE_HOME "Exit status" --keys \
                --window --delay --verbose; do
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
        expect_err_has "usage: qzview [OPTIONS] [DIR | PICTURES...]"
        run "$bin/qzview" one two
        expect_status 2
        expect_err_has "qzview: one: no such file or directory"
        expect_err_has "usage: qzview [OPTIONS] [DIR | PICTURES...]"
        # Only pictures are made into a show, and a directory is shown alone.
        convert -size 8x8 xc:red "$work/a.png" && mkdir "$work/d"
        run "$bin/qzview" "$work/a.png" "$work/d"
        expect_status 2
        expect_err_has "qzview: $work/d: a directory is shown alone"
        [ ! -e "$work/cache" ] || fail "a show was made of a wrong command line"
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
        expect_err_has "qzview: $work/file: not a picture (png, jpg, jpeg, webp, gif, bmp, tif or tiff)"
        if [ "$(id -u)" -ne 0 ]; then  # root reads every directory
            mkdir "$work/locked" && touch "$work/locked/SCR1.BIL" && chmod 000 "$work/locked"
            run "$bin/qzview" "$work/locked"
            expect_status 2
            expect_err "qzview: $work/locked: cannot be read (Permission denied)"
        fi
        ;;
    not-a-show)
        # An empty directory: the commands that make a show there, and the demo.
        mkdir "$work/empty"
        run "$bin/qzview" "$work/empty"
        expect_status 1
        expect_out ""
        expect_err "qzview: $work/empty holds no show (neither SCR1.BIL nor scs00001.BMP) and no pictures; to make a show there:
  qzview-show new $work/empty
  qzview-show add --dir $work/empty PICTURES...
or, for a demo show: qzview-demo $work/empty"
        # Without DIR the working directory is the show's.
        expected=$ERR
        run env -C "$work/empty" "$bin/qzview"
        expect_status 1
        expect_err "$expected"
        # A directory with other files: no demo, which would write among them; a name
        # the shell would split is quoted.
        mkdir "$work/my notes" && echo text >"$work/my notes/notes.txt"
        run "$bin/qzview" "$work/my notes"
        expect_status 1
        expect_err_has "  qzview-show new '$work/my notes'"
        expect_err_has "  qzview-show add --dir '$work/my notes' PICTURES..."
        grep -q qzview-demo <<<"$ERR" && fail "qzview-demo suggested for a directory with files"
        # One of the two key files is enough: such a show gets as far as the display.
        for key in SCR1.BIL scs00001.BMP; do
            mkdir "$work/$key.only" && touch "$work/$key.only/$key"
            run "$bin/qzview" "$work/$key.only"
            expect_status 1
            expect_err_has "qzview: no display could be opened"
        done
        ;;
    pictures | folder)
        # Three pictures, PNG and JPEG, in colours told apart after JPEG's losses, and
        # a file that is not a picture. Natural order: Shot1, shot2, shot10.
        export XDG_CACHE_HOME="$work/cache"
        mkdir "$work/pics"
        convert -size 640x360 xc:red "$work/pics/shot2.png"
        convert -size 960x540 xc:blue -quality 90 "$work/pics/shot10.jpg"
        convert -size 320x240 xc:lime "$work/pics/Shot1.PNG"
        echo text >"$work/pics/notes.txt"
        checksums() { (cd "$work/pics" && ls -la --time-style=full-iso && sha256sum ./*); }
        before=$(checksums)
        if [ "$outcome" = pictures ]; then
            start=("$bin/qzview" "$work/pics/shot10.jpg" "$work/pics/Shot1.PNG" pics/shot2.png)
        else
            start=("$bin/qzview" pics)
        fi
        shows() { find "$work/cache/qzview" -mindepth 1 -maxdepth 1 | sort; }
        # The first start makes the show, reporting its progress, then meets no display.
        run "${start[@]}"
        expect_status 1
        expect_err_has "qzview: 3 of 3 pictures"
        expect_err_has "qzview: no display could be opened"
        [ "$(shows | wc -l)" -eq 1 ] || fail "not one show in the cache: $(shows)"
        show=$(shows | head -n 1)
        [ "$("$bin/qzview-show" dump "$show" | sed -n 2p)" = "picture_count,3" ] ||
            fail "the show does not have three entries"
        # Entry N is screenshot 99+N; its middle tells which picture it is.
        colour_at_middle() {
            convert "$1" -format '%[fx:p{512,384}.r>0.5] %[fx:p{512,384}.g>0.5] %[fx:p{512,384}.b>0.5]' info:
        }
        n=100
        for expected in "0 1 0" "1 0 0" "0 0 1"; do
            [ "$(colour_at_middle "$show/scs00$n.BMP")" = "$expected" ] ||
                fail "scs00$n.BMP is not the picture expected in natural order ($expected)"
            n=$((n + 1))
        done
        # The second start reuses the show: nothing converted, nothing new.
        touch "$show/reused"
        run "${start[@]}"
        expect_status 1
        grep -q pictures <<<"$ERR" && fail "the second start converted again"
        [ -e "$show/reused" ] || fail "the second start did not reuse the show"
        # --rebuild makes it again, in the same place.
        run "$bin/qzview" --rebuild "${start[@]:1}"
        expect_status 1
        expect_err_has "qzview: 3 of 3 pictures"
        [ ! -e "$show/reused" ] && [ -e "$show/SCR1.BIL" ] || fail "--rebuild did not make it again"
        [ "$(shows)" = "$show" ] || fail "--rebuild left another directory: $(shows)"
        # A picture changed since is another show.
        touch -d "2001-01-01" "$work/pics/shot2.png"
        before=$(checksums)
        run "${start[@]}"
        expect_err_has "qzview: 3 of 3 pictures"
        [ "$(shows | wc -l)" -eq 2 ] || fail "a changed picture reused the old show"
        [ "$(checksums)" = "$before" ] || fail "the pictures' directory changed"
        # Without qzview-show beside it or on PATH, it says what to install.
        mkdir "$work/alone" && cp "$bin/qzview" "$work/alone/"
        run env PATH="$work/alone" "$work/alone/qzview" --rebuild "${start[@]:1}"
        expect_status 1
        expect_err_has "qzview-tools"
        # A qzview-show that dies half-way through leaves nothing a later start uses.
        printf '#!/bin/sh\n[ "$1" = add ] && kill -9 $$\nexec "%s" "$@"\n' "$bin/qzview-show" \
            >"$work/alone/qzview-show"
        chmod +x "$work/alone/qzview-show"
        touch "$work/pics/shot2.png"
        run "$work/alone/qzview" "${start[@]:1}"
        expect_status 1
        expect_err_has "no show could be made"
        [ "$(shows | wc -l)" -eq 2 ] || fail "the interrupted show was kept: $(shows)"
        run "${start[@]}"
        expect_err_has "qzview: 3 of 3 pictures"
        ;;
    option-values)
        mkdir "$work/show" && touch "$work/show/scs00001.BMP"
        for bad in --window=0x768 --window=big --window=800x --delay=0 --delay=-2 --delay=x; do
            run "$bin/qzview" "$bad" "$work/show"
            expect_status 2
            expect_err_has "usage: qzview [OPTIONS] [DIR | PICTURES...]"
        done
        run "$bin/qzview" "$work/show" --delay
        expect_status 2
        expect_err_has "qzview: --delay needs SECONDS"
        # Good values get as far as the display; without one, that is all it says.
        run "$bin/qzview" --keys --window --window=800x600 --delay 2.5 --delay=1 "$work/show"
        expect_status 1
        expect_err "qzview: no display could be opened"
        run "$bin/qzview" --verbose "$work/show"
        expect_status 1
        expect_err_has "qzview: no display could be opened: "
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
