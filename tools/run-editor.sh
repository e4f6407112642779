#!/usr/bin/env bash
# Builds the editor and starts it. When no game folder is configured it opens a sample world: pyxworld writes one
# into the build folder, and the game's install key in a settings folder of the editor's own (XDG_CONFIG_HOME under
# the build folder) points at it, so Load Data works at once and the user's own settings are never read or touched.
#
# Environment: PYX_PRESET (default dev) picks the build; PYX_NO_BUILD=1 skips building and PYX_BUILD_DIR then names
# a build folder of any preset; PYX_SAMPLE_DIR (default build/<preset>/sample) holds the sample world and the
# settings folder.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${PYX_PRESET:-dev}
build=${PYX_BUILD_DIR:-$PWD/build/$preset}
if [ "${PYX_NO_BUILD:-0}" != 1 ]; then
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target pyxpregame pyxworld
fi
sample=${PYX_SAMPLE_DIR:-$build/sample}
mkdir -p "$sample"
sample=$(cd "$sample" && pwd)
export XDG_CONFIG_HOME=$sample/config
if [ ! -f "$sample/world/server_db.dat" ]; then
    "$build/tools/pyxworld/pyxworld" "$sample/world" --quiet
fi
install_key="$XDG_CONFIG_HOME/Korvell Ltd/Installs.ini"
mkdir -p "$(dirname "$install_key")"
printf '[Pyx]\nPath=%s\n' "$sample/world" >"$install_key"
exec "$build/editor/pyxpregame"
