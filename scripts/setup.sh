#!/usr/bin/env bash
# Installs, with apt-get, what a Debian 12 machine lacks for building and
# testing this project. Does nothing when everything is present.
#   scripts/setup.sh          native build, tests, demo
#   scripts/setup.sh --cross  additionally the armhf/arm64 cross toolchains
set -euo pipefail

packages=(
  build-essential cmake g++ clang libclang-rt-14-dev ccache
  nlohmann-json3-dev libi2c-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 python3-dev python3-aiohttp python3-websockets
  libturbojpeg0-dev ffmpeg
  cyclonedds-dev cyclonedds-tools iproute2
  sysvinit-utils procps socat file curl man-db
  systemd  # for systemd-analyze verify of the unit; nothing boots it
  chromium
)

# Cross builds: Debian's cross compilers, qemu-user for running the target
# binaries, and the target's -dev packages through multiarch. Only packages
# marked Multi-Arch "same" co-install with the host's; python3-dev and the
# interpreter are not among them (see armhf_python below).
cross_packages=(
  g++-arm-linux-gnueabihf g++-aarch64-linux-gnu qemu-user-static
  libgtest-dev:armhf libgmock-dev:armhf libi2c-dev:armhf
  libpython3-dev:armhf libturbojpeg0-dev:armhf libstdc++6:armhf
  libgtest-dev:arm64 libgmock-dev:arm64 libi2c-dev:arm64
  libpython3-dev:arm64 libturbojpeg0-dev:arm64 libstdc++6:arm64
)

# Debian's armhf interpreter cannot be installed beside the host's (both own
# /usr/bin/python3.11), so its binary is unpacked into a directory of its own;
# it finds the standard library that libpython3.11-stdlib:armhf installs.
armhf_python_dir=/opt/vok-cross/armhf
armhf_python=$armhf_python_dir/usr/bin/python3.11

if [[ $(id -u) -ne 0 ]]; then
  SUDO=sudo
else
  SUDO=
fi

if [[ "${1:-}" == "--cross" ]]; then
  for arch in armhf arm64; do
    if ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
      $SUDO dpkg --add-architecture "$arch"
      need_update=1
    fi
  done
  packages+=("${cross_packages[@]}")
fi

apt_install() {
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$@"
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [[ ${#missing[@]} -gt 0 || -n "${need_update:-}" ]]; then
  echo "setup: installing ${missing[*]}"
  # A mirror in mid-sync fails one index (seen for armhf security updates);
  # the install below then works from the lists that did arrive.
  $SUDO apt-get update -qq || echo "setup: apt-get update reported errors; installing from the lists it has" >&2
  if [[ ${#missing[@]} -gt 0 ]] && ! apt_install "${missing[@]}"; then
    [[ "${1:-}" == "--cross" ]] || exit 1
    # Without the target's security index, its Multi-Arch "same" packages
    # exist only in the release's versions, which the host's must match:
    # take every package from the release, the kernel headers included.
    headers=$(apt-cache madison linux-libc-dev | awk '$6 == "bookworm/main" { print $3; exit }')
    echo "setup: retrying with the release's versions (linux-libc-dev $headers)" >&2
    apt_install -t bookworm --allow-downgrades "${missing[@]}" \
      "linux-libc-dev:amd64=$headers" "linux-libc-dev:armhf=$headers" "linux-libc-dev:arm64=$headers"
  fi
fi

if [[ "${1:-}" == "--cross" && ! -x $armhf_python ]]; then
  # Same version as the libpython3.11-minimal:armhf that is installed.
  version=$(dpkg-query -W -f='${Version}' libpython3.11-minimal:armhf)
  tmp=$(mktemp -d)
  (cd "$tmp" && apt-get download -qq -o APT::Sandbox::User=root "python3.11-minimal:armhf=$version")
  $SUDO mkdir -p "$armhf_python_dir"
  $SUDO dpkg-deb -x "$tmp"/python3.11-minimal_*_armhf.deb "$armhf_python_dir"
  rm -rf "$tmp"
fi
