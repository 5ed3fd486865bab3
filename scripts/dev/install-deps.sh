#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, when any is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  googletest libgtest-dev nlohmann-json3-dev
  qt6-base-dev libjpeg-dev libacl1-dev
  xvfb xauth xdotool x11-utils openbox imagemagick fonts-wine
  g++-mingw-w64-x86-64 wine wine64 wixl msitools
  dpkg-dev help2man lintian man-db file unzip desktop-file-utils
  clang libclang-rt-14-dev clang-tidy
  fusefat dosfstools
  time strace  # /usr/bin/time and the count of system calls, for scripts/bench/cli.sh
  librsvg2-bin  # rsvg-convert, for scripts/dev/render-assets.sh
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
