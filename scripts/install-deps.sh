#!/usr/bin/env bash
# Installs every Debian package Nimbra needs to build, test and run. Run as root on Debian 12.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config
  # tests, fuzzing and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev libvips-tools
  # libraries
  nlohmann-json3-dev qt6-base-dev
  # fonts: faces with the metrics of those documents ask for (Arial, Times New Roman, Courier
  # New), and one for every other script
  fonts-liberation2 fonts-dejavu-core
  # pictures
  libjpeg62-turbo-dev libpng-dev libtiff-dev libgif-dev libopenjp2-7-dev zlib1g-dev libpixman-1-dev
  # WebP; HEIF (HEIC and AVIF) through libheif, whose package brings the HEVC and AV1 decoders and
  # the encoders the tests write their pictures with
  libwebp-dev libheif-dev
  # desktop wallpaper: GSettings and the X root window to build; for the tests an X server, a
  # session bus, the desktops' settings schemas, dconf (GSettings' store in a session), xfconfd,
  # and sway with swaybg and grim
  libglib2.0-dev libx11-dev xvfb dbus-daemon libglib2.0-bin gsettings-desktop-schemas
  dconf-gsettings-backend dconf-service
  cinnamon-desktop-data mate-desktop-common xfconf libxfconf-0-3 sway swaybg grim
  # autostart entries are checked with desktop-file-validate
  desktop-file-utils
  # several monitors without hardware: Xorg's dummy driver and xrandr; Plasma's wallpaper script
  # is run under node with a stand-in for the shell
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils nodejs
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
