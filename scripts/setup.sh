#!/usr/bin/env bash
# Installs every Debian package the desk needs to build, run and test.
# Packages already present are left alone; apt runs only when something is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6 libgl-dev
  libqcustomplot-dev libqcustomplot2.1-qt6
  libcurl4-openssl-dev libgmime-3.0-dev libssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  python3-pyftpdlib python3-aiosmtpd libeccodes-tools libeccodes-dev vsftpd
  qt6-translations-l10n xdotool imagemagick
  poppler-utils xvfb xauth ccache
  clang libclang-rt-14-dev dpkg-dev file
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
