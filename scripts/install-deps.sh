#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs that are not there yet.
# Runs apt-get as root, or through sudo.
set -euo pipefail

packages=(
  g++ cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-qpa-plugins libgl-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  libspandsp-dev libfftw3-dev libphonenumber-dev
  libsndfile1-dev libsoxr-dev libpipewire-0.3-dev
  clang libclang-rt-dev clang-format
  xvfb xauth
  libfontconfig-dev
  dpkg-dev file lintian man-db desktop-file-utils appstream x11-utils librsvg2-bin
  multimon-ng minimodem sox lame alsa-utils
  pipewire pipewire-bin wireplumber pipewire-pulse dbus-bin dbus-daemon
  at-spi2-core python3-gi gir1.2-atspi-2.0 imagemagick
  asterisk-core-sounds-en-wav asterisk-moh-opsound-wav
  libre-dev libsecret-1-dev sip-tester baresip-core
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ "${#missing[@]}" -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
