#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when
# any of them is missing. Works as root or through sudo; does nothing when all
# are present.
set -euo pipefail

packages=(
    cmake
    g++
    make
    qt6-base-dev
    qt6-qpa-plugins
    qt6-svg-dev
    libcli11-dev
    libgl-dev
    libbenchmark-dev
    fonts-liberation
    fontconfig
    clang
    libclang-rt-14-dev
    desktop-file-utils
    libxml2-utils
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi

echo "Installing: ${missing[*]}"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
