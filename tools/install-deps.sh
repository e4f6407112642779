#!/usr/bin/env bash
# Installs the Debian 12 packages the project builds and tests with.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    g++ cmake ninja-build libgtest-dev libgmock-dev libbenchmark-dev \
    qt6-base-dev libicu-dev libx11-dev zlib1g-dev binutils libdw-dev libunwind-dev gdb \
    xvfb xauth xdotool x11-utils xclip imagemagick fonts-dejavu-core xfonts-base xfonts-75dpi python3
