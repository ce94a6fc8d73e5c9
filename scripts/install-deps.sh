#!/usr/bin/env bash
# Installs the Debian packages Blokpost needs to build, test, package and run.
# Only what is missing is installed; apt-get runs through sudo when not root.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config
  qt6-base-dev libgl-dev
  qt6-httpserver-dev qt6-websockets-dev libqrencode-dev chromium
  libusb-1.0-0-dev
  umockdev libumockdev-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core
  dpkg-dev file lintian desktop-file-utils appstream
  xvfb openbox xdotool x11-utils
  tigervnc-standalone-server tigervnc-tools
)
extra=("$@")

missing=()
for p in "${packages[@]}" "${extra[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
