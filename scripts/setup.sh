#!/usr/bin/env bash
# Installs, with apt-get, what a Debian 12 machine lacks for building and
# testing this project. Does nothing when everything is present.
#   scripts/setup.sh          native build, tests, demo
#   scripts/setup.sh --cross  additionally the armhf/arm64 cross toolchains
set -euo pipefail

packages=(
  build-essential cmake g++ clang libclang-rt-14-dev
  nlohmann-json3-dev libi2c-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 python3-dev
  libturbojpeg0-dev
  sysvinit-utils procps socat file
  chromium
)

cross_packages=(
  g++-arm-linux-gnueabihf g++-aarch64-linux-gnu qemu-user-static
  libi2c-dev:armhf libgtest-dev:armhf libgmock-dev:armhf
  python3-dev:armhf libpython3-dev:armhf
  libi2c-dev:arm64 libgtest-dev:arm64 libgmock-dev:arm64
)

if [[ "${1:-}" == "--cross" ]]; then
  for arch in armhf arm64; do
    if ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
      dpkg --add-architecture "$arch"
      need_update=1
    fi
  done
  packages+=("${cross_packages[@]}")
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [[ ${#missing[@]} -eq 0 && -z "${need_update:-}" ]]; then
  exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
  SUDO=sudo
else
  SUDO=
fi

echo "setup: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
