#!/usr/bin/env bash
# Installs every system package that building, testing and running the setup program
# need. As root it installs what is missing; otherwise it names what to install.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang-format-14 clang-tidy-14
  qt6-base-dev qt6-wayland libgl-dev libfontconfig-dev zlib1g-dev
  patchelf binutils debootstrap
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth weston
  dbus-daemon at-spi2-core python3-pyatspi xdotool
  fonts-wine fonts-liberation fonts-dejavu-core
  unzip zip desktop-file-utils
  wbritish-large wamerican-large wdanish wdutch wngerman wfrench wpolish witalian wspanish
  wswedish
  python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "These packages are needed: ${missing[*]}" >&2
  echo "Install them with: sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
