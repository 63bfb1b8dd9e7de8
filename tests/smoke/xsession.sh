#!/usr/bin/env bash
# A short session with the real program on a real X server (xvfb-run):
# browse into a folder with the arrow keys and Enter, select two files with
# Space, copy them with Ctrl+C, go to another folder, paste them with Ctrl+V
# and quit with Alt+X. Passes when exactly those files arrive intact and the
# program ends by itself with exit code 0.
#   xsession.sh KESTREL_BINARY
set -uo pipefail

bin=${1:?usage: xsession.sh KESTREL_BINARY}
if [ -z "${KESTREL_XSESSION_INSIDE:-}" ]; then
    export KESTREL_XSESSION_INSIDE=1
    # A random first display number: two sessions started at once rarely race for one.
    exec xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x900x24" bash "$0" "$@"
fi

# Generous limits: the machine may be slow and busy.
limit=${KESTREL_XSESSION_LIMIT:-90}

T=$(mktemp -d)
kpid=
cleanup() {
    if [ -n "$kpid" ] && kill -0 "$kpid" 2>/dev/null; then
        kill "$kpid" 2>/dev/null
        sleep 1
        kill -9 "$kpid" 2>/dev/null
    fi
    rm -rf "$T"
}
trap cleanup EXIT

fail() {
    echo "xsession: FAIL: $*" >&2
    [ -s "$T/stderr.log" ] && { echo "--- program's error output:" >&2; cat "$T/stderr.log" >&2; }
    exit 1
}

# Waits until the command succeeds, polling; fails after the limit.
wait_for() {
    local what=$1
    shift
    local end=$((SECONDS + limit))
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || fail "timed out waiting for $what"
        if [ -n "$kpid" ] && ! kill -0 "$kpid" 2>/dev/null; then
            fail "the program ended while waiting for $what"
        fi
        sleep 0.2
    done
}

mkdir -p "$T/c/Dst" "$T/c/Src" "$T/home"
printf 'one\n' > "$T/c/Src/one.txt"
head -c 300000 /dev/urandom > "$T/c/Src/three.txt"
printf 'two\n' > "$T/c/Src/two.txt"
# The title shows the folder, so the script can see where the panel is.
printf '[Option]\r\nPathCaption=1\r\n' > "$T/home/kestrel.ini"

export KESTREL_DRIVES="C=$T/c,fixed,Local,1A2B3C4D"
export KESTREL_HOME="$T/home"
export LANG=C.UTF-8
export QT_QPA_PLATFORM=xcb
unset KESTREL_XSESSION_INSIDE

"$bin" 'C:\' >"$T/stdout.log" 2>"$T/stderr.log" &
kpid=$!

wid=
find_window() {
    wid=$(xdotool search --onlyvisible --name '^C:' 2>/dev/null | head -1)
    [ -n "$wid" ]
}
wait_for "the main window" find_window
# Without a window manager the focus is given directly.
focus_window() {
    xdotool windowfocus --sync "$wid" 2>/dev/null
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$wid" ]
}
wait_for "the focus" focus_window

title_is() { [ "$(xdotool getwindowname "$wid" 2>/dev/null)" = "$1" ]; }
keys() { xdotool key --clearmodifiers --delay 80 "$@"; }

wait_for "the root folder" title_is 'C:\'
# C:\ lists Dst, then Src.
keys Down Return
wait_for "folder Src" title_is 'C:\Src'
# .., one.txt, three.txt, two.txt: select the first two files.
keys Down space space
keys ctrl+c
keys BackSpace
wait_for "the root folder again" title_is 'C:\'
keys Home Return
wait_for "folder Dst" title_is 'C:\Dst'
keys ctrl+v
copied() {
    cmp -s "$T/c/Src/one.txt" "$T/c/Dst/one.txt" && cmp -s "$T/c/Src/three.txt" "$T/c/Dst/three.txt"
}
wait_for "the pasted files" copied
[ -e "$T/c/Dst/two.txt" ] && fail "two.txt was copied although it was not selected"

# The copy may have shown its progress window; the main window takes the keys.
wait_for "the focus after the paste" focus_window
keys alt+x
end=$((SECONDS + limit))
while kill -0 "$kpid" 2>/dev/null; do
    [ "$SECONDS" -lt "$end" ] || fail "the program did not end after Alt+X"
    sleep 0.2
done
wait "$kpid"
rc=$?
kpid=
[ "$rc" -eq 0 ] || fail "the program exited with code $rc"
grep -q '^File=' "$T/home/kestrel.ini" || fail "the window state was not saved at exit"
[ "$(ls "$T/c/Dst" | wc -l)" -eq 2 ] || fail "Dst holds: $(ls "$T/c/Dst")"
echo "xsession: passed"
