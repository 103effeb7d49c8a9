#!/usr/bin/env bash
# Installs the Debian packages needed to build, test and run Zeltrano.
# Does nothing when every package is already installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libjpeg-dev libxlsxwriter-dev libzip-dev libolecf-dev libcurl4-openssl-dev
  # libolecf's header includes libbfio's, which its package does not bring along.
  libbfio-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  liblz4-dev libpugixml-dev
  clang libclang-rt-14-dev clang-format
  fonts-liberation2 poppler-utils xvfb xauth
  # Qt's own dialogs in the program's language.
  qt6-translations-l10n
  python3-openpyxl python3-xlwt
  # The working-time walk's benchmark peer.
  python3-numpy
  # The install test checks the desktop entry and registers the document type.
  desktop-file-utils shared-mime-info
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
