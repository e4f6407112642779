#!/usr/bin/env bash
# Runs a command on an X server of its own (Xvfb) with Qt's X platform, for the journeys that need a window system:
# keyboard focus, window titles and window placement as an X server gives them.
# Usage: UnderX.sh WORK_DIR COMMAND [ARGUMENT...]
set -uo pipefail
work=$1
shift
rm -rf "$work"
mkdir -p "$work"
xvfb_pid=
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; }
trap cleanup EXIT
wait_for() { # seconds, command...
    local tries=$(($1 * 10))
    shift
    for ((i = 0; i < tries; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# A display of its own, whichever number is free; a server that does not answer (its socket taken away by another
# server's exit while the suite runs X journeys in parallel) is replaced by a fresh one.
for ((attempt = 0; attempt < 3; attempt++)); do
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$work/display" 2>>"$work/xvfb.log" &
    xvfb_pid=$!
    wait_for 20 test -s "$work/display" || { echo "Xvfb did not start" >&2; exit 1; }
    export DISPLAY=:$(head -n1 "$work/display")
    wait_for 10 xdotool getdisplaygeometry && break
    echo "Xvfb on $DISPLAY does not answer; starting another" >>"$work/xvfb.log"
done
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "no X server answers" >&2; exit 1; }
QT_QPA_PLATFORM=xcb "$@"
