#!/bin/sh
# Installs the Debian 12 packages the project builds, tests and runs with
# (only what is missing; needs root or sudo).
set -eu
packages="cmake g++ make python3 libgtest-dev libboost-dev libboost-filesystem-dev
  libsdl1.2-dev libsdl-image1.2-dev freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri
  libpng-dev mesa-utils xvfb xauth x11-utils xdotool imagemagick
  clang libclang-rt-14-dev libomp-dev clang-tidy cppcheck parallel rsync"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing
fi
