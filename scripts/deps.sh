#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Kestavo need, when missing.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
  unixodbc unixodbc-dev libsqliteodbc libsqlite3-dev sqlite3
  zlib1g-dev libminizip-dev libcurl4-openssl-dev
  libchm-dev fp-utils
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  python3 python3-pyftpdlib xvfb xauth clang libclang-rt-dev locales fonts-dejavu-core fonts-dejavu-extra fonts-noto-color-emoji
  python3-pyatspi at-spi2-core dbus-x11 xdotool faketime x11-apps x11-utils imagemagick poppler-utils valgrind
)
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
# A locale with a decimal comma, for the tests that numbers never follow the user's locale.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
  echo "Generating the de_DE.UTF-8 locale"
  $sudo_cmd localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
