#!/usr/bin/env bash
# Installs, with apt-get, every Debian 12 package that building, testing and
# running Missivo needs and that is not installed yet. Uses sudo when not root.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git ccache
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 libgl1-mesa-dev
  nettle-dev libudev-dev nlohmann-json3-dev libxml2-dev libxml2-utils
  libgtest-dev libgmock-dev libbenchmark-dev
  clang clang-format libclang-rt-14-dev
  xvfb xauth x11-apps xdotool imagemagick fonts-dejavu-core fonts-noto-color-emoji
  chromium
  dpkg-dev lintian appstream desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
