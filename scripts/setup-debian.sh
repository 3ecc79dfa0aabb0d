#!/usr/bin/env bash
# Installs the Debian 12 packages the program needs to build and run (and, with --test,
# to run every test). Only missing packages are installed; nothing else is changed.
set -euo pipefail

build_packages=(
    cmake ninja-build g++ pkgconf
    qt6-base-dev qt6-multimedia-dev libpulse-dev libfontconfig-dev libgl-dev libegl-dev
    libxkbcommon-dev
    qt6-translations-l10n qt6-qpa-plugins
    fonts-urw-base35 fonts-liberation2 fonts-gamaliel fonts-dejavu-core
)
test_packages=(
    googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
    xvfb xauth xdotool x11-utils imagemagick openbox
    dbus at-spi2-core python3-pyatspi
    libx11-dev libxcb1-dev
    pulseaudio pulseaudio-utils sox
    desktop-file-utils appstream dpkg-dev lintian reuse
    debhelper build-essential autopkgtest
)

packages=("${build_packages[@]}")
if [[ "${1:-}" == "--test" ]]; then
    packages+=("${test_packages[@]}")
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
