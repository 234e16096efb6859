#!/usr/bin/env bash
# Installs the Debian packages Dusklorne needs to build, run and test, or the packages named as
# arguments instead. Idempotent: when everything is there it only asks dpkg and returns.
set -euo pipefail

packages=(
    # build
    g++ cmake ninja-build pkg-config clang-format
    # compiled objects kept outside the clone, so that a fresh clone builds in a fraction of the time
    ccache
    libglfw3-dev libglew-dev libglm-dev libassimp-dev libmagick++-dev libbullet-dev libcli11-dev
    libimgui-dev
    libgl1-mesa-dev libegl-dev libgtest-dev libgmock-dev libx11-dev libxfixes-dev
    # the font of the bench tool's labels
    fonts-dejavu-core
    # run and test headless: software GL, a virtual display, real input events, screenshots
    libgl1-mesa-dri xvfb xauth xdotool x11-utils imagemagick faketime
    # the intro as a video (H.264 through libx264), and its tests: script gives a terminal
    ffmpeg bsdutils
    # frame debugging with DUSK_GL_DEBUG=1, and its test: traces of the real binary
    apitrace apitrace-tracers
    # the Debian package: its dependencies found by dpkg-shlibdeps (CPack finds the program
    # with file), and its check
    dpkg-dev file lintian
)

if (($#)); then
    packages=("$@")
fi

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [[ $(id -u) -ne 0 ]]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
