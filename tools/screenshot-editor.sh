#!/usr/bin/env bash
# Takes the README's picture of the editor, docs/editor.png: the editor on the sample world under a private X
# server, with the data loaded and the first person of the people tab shown.
#
# A maintainer tool. Needs Xvfb, xdotool and ImageMagick's import (tools/install-deps.sh installs them all).
# Environment: PYX_NO_BUILD=1 skips building, as for tools/run-editor.sh (PYX_PRESET and PYX_BUILD_DIR pick the
# build likewise); PYX_SCREENSHOT (default docs/editor.png) names the picture. The sample world and the editor's
# settings go to a temporary folder, so neither the build's sample nor the user's settings are touched.
set -euo pipefail
cd "$(dirname "$0")/.."
output=${PYX_SCREENSHOT:-docs/editor.png}
for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "screenshot-editor: $tool is missing (tools/install-deps.sh)" >&2; exit 1; }
done
if [ "${PYX_NO_BUILD:-0}" != 1 ]; then
    preset=${PYX_PRESET:-dev}
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target pyxpregame pyxworld
fi

work=$(mktemp -d)
xvfb_pid=""
editor_pid=""
cleanup() {
    if [ -n "$editor_pid" ]; then kill "$editor_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "screenshot-editor: $1" >&2
    if [ -s "$work/editor.log" ]; then sed 's/^/  editor: /' "$work/editor.log" >&2; fi
    exit 1
}
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

# A display of our own: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for 15 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$(head -n 1 "$work/display")

PYX_NO_BUILD=1 PYX_SAMPLE_DIR="$work/sample" QT_QPA_PLATFORM=xcb tools/run-editor.sh >"$work/editor.log" 2>&1 &
editor_pid=$!
# True once the main window shows, or once the editor has ended (then with no window).
find_window() {
    window=$(xdotool search --onlyvisible --name '^Pyx Pregame Editor$' 2>/dev/null | head -n 1)
    [ -n "$window" ] || ! kill -0 "$editor_pid" 2>/dev/null
}
wait_for 60 find_window && [ -n "$window" ] || fail "no window titled Pyx Pregame Editor appeared"

# File->Load Data (Ctrl+L) loads the sample world; the main window then lists the people.
xdotool windowfocus --sync "$window"
xdotool key ctrl+l
sleep 3
eval "$(xdotool getwindowgeometry --shell "$window")"
# The people tab's Search button lists every person; the first row shows its person.
xdotool mousemove --sync $((X + 170)) $((Y + 58)) click 1
sleep 1
xdotool mousemove --sync $((X + 60)) $((Y + 85)) click 1
sleep 1
xdotool mousemove --sync 0 0
sleep 0.5

mkdir -p "$(dirname "$output")"
import -window "$window" "$output"
echo "screenshot-editor: wrote $output (${WIDTH}x${HEIGHT})"
