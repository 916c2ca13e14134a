#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the build and the tests need, only those that
# are missing; through sudo when not run as root.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev fonts-liberation
  qt6-charts-dev qt6-svg-dev libqt6opengl6-dev
  libgtest-dev libcli11-dev
  nlohmann-json3-dev  # the JSON of `vantor-cli show`
  libgsl-dev libxrl-dev  # least squares and Debye functions; X-ray line energies
  libpugixml-dev  # N42 spectra (XML)
  nlohmann-json3-dev  # calibration files (JSON)
  clang-14 libclang-rt-14-dev
  libxy-bin  # xyconv: tests compare our reading of analyser files with it
  # the installed-tree test and the Debian package
  desktop-file-utils man-db libxml2-utils shared-mime-info libglib2.0-bin
  dpkg-dev file lintian
  pybind11-dev python3-dev python3-numpy
)
[ "${VANTOR_WITH_XVFB:-0}" = 1 ] && packages+=(xvfb xauth)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
