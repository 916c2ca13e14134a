#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that
# are missing; through sudo when not run as root.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev fonts-liberation
  libgtest-dev libcli11-dev
  clang-14 libclang-rt-14-dev
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
