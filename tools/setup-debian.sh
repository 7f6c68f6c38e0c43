#!/usr/bin/env bash
# Installs what building and testing Veldrane needs on Debian 12, if missing.
# g++ brings the sanitizer runtimes; util-linux (setpriv, unshare, mountpoint),
# mount and passwd (useradd) serve the test run as an ordinary user; xvfb,
# x11-utils and openbox the check that windows stay in front of their owner.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
          libgtest-dev libgmock-dev googletest fonts-dejavu-core xvfb xauth x11-utils openbox
          util-linux mount passwd)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [[ $(id -u) -ne 0 ]] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
