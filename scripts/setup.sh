#!/usr/bin/env bash
# Installs every Debian 12 package the build, the tests, the Debian package
# (cpack -G DEB) and the screenshots need.
# Safe to run again: it only calls apt-get when something is missing.
set -euo pipefail
packages=(
  build-essential cmake pkg-config ninja-build
  qtbase5-dev qttools5-dev qttools5-dev-tools libqt5sql5-odbc unixodbc-dev
  libqcustomplot-dev libqt5svg5-dev poppler-utils libhidapi-dev libudev-dev libfreexl-dev libxlsxwriter-dev libzip-dev python3-openpyxl
  qttranslations5-l10n
  librsvg2-bin dpkg-dev desktop-file-utils appstream
  fonts-wqy-microhei xvfb xauth imagemagick
  clang libclang-rt-14-dev
  umockdev libumockdev-dev libglib2.0-dev
  postgresql libqt5sql5-psql libqt5sql5-sqlite sqlite3
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
