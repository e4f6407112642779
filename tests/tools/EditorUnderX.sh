#!/usr/bin/env bash
# The editor starts under a real X server from the README's run command (tools/run-editor.sh) and shows the sample
# world: no "not installed" message, and Load Data then Save Data (Ctrl+L, Ctrl+S) rewrite the sample world's files.
# Usage: EditorUnderX.sh SOURCE_DIR BUILD_DIR WORK_DIR
set -euo pipefail
source_dir=$1 build_dir=$2 work=$3
rm -rf "$work"
mkdir -p "$work"
xvfb_pid= editor_pid=
cleanup() {
    [ -n "$editor_pid" ] && kill "$editor_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    [ -n "${DISPLAY:-}" ] && import -window root "$work/failure.png" 2>/dev/null || true
    cat "$work/editor.log" >&2 2>/dev/null || true
    exit 1
}
wait_for() { # seconds, command...
    local tries=$(($1 * 10))
    shift
    for ((i = 0; i < tries; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# A display of its own, whichever number is free. While other X servers start and stop beside it (the suite runs
# its X journeys in parallel), one may be given a number whose socket another server's exit then removes: a server
# that does not answer is replaced by a fresh one.
for ((attempt = 0; attempt < 3; attempt++)); do
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>>"$work/xvfb.log" &
    xvfb_pid=$!
    wait_for 20 test -s "$work/display" || fail "Xvfb did not start"
    export DISPLAY=:$(head -n1 "$work/display")
    wait_for 10 xdotool getdisplaygeometry && break
    echo "Xvfb on $DISPLAY does not answer; starting another" >>"$work/xvfb.log"
done
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "no X server answers"

# The editor runs on this X server whatever platform the caller's environment names (a test run may set offscreen).
QT_QPA_PLATFORM=xcb PYX_BUILD_DIR=$build_dir PYX_NO_BUILD=1 PYX_SAMPLE_DIR=$work/sample "$source_dir/tools/run-editor.sh" >"$work/editor.log" 2>&1 &
editor_pid=$!
wait_for 60 xdotool search --onlyvisible --name '^Pyx Pregame Editor$' || fail "no editor window"
sleep 1
windows=$(xdotool search --onlyvisible --name '^Pyx Pregame Editor$' | wc -l)
[ "$windows" = 1 ] || fail "$windows windows titled Pyx Pregame Editor (a message at start?)"
window=$(xdotool search --onlyvisible --name '^Pyx Pregame Editor$')
world=$work/sample/world
touch -d '2000-01-01' "$world"/*.dat
before=$(stat -c %Y "$world/server_db.dat")

# Load Data, then Save Data once the load is over: keys sent while the window is busy are dropped, so on a loaded
# machine both are sent again until the save has written the files.
saved() { [ "$(stat -c %Y "$world/server_db.dat")" != "$before" ]; }
for ((round = 0; round < 30; round++)); do
    xdotool windowfocus --sync "$window"
    xdotool key --window "$window" ctrl+l
    sleep 1
    xdotool search --onlyvisible --name '^Error$' >/dev/null 2>&1 && fail "Load Data showed an error"
    xdotool windowfocus --sync "$window"
    xdotool key --window "$window" ctrl+s
    wait_for 3 saved && break
done
saved || fail "Load Data and Save Data did not write the sample world"
import -window root "$work/editor.png" 2>/dev/null || true
kill -0 "$editor_pid" || fail "the editor ended"
echo "the editor loaded and saved the sample world on $DISPLAY"
