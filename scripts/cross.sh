#!/usr/bin/env bash
# Cross-builds for the target boards and runs the tests there under qemu-user.
#   scripts/cross.sh armhf    the broker, servo controller, command feed and
#                             video relay for 32-bit ARM, in build-armhf/
#   scripts/cross.sh aarch64  the video relay and the support library for
#                             AArch64, in build-aarch64/
#   scripts/cross.sh all      both
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --cross

jobs=$(nproc)
common_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOK_BUILD_BENCH=OFF -DVOK_BUILD_FUZZ=OFF -DVOK_SANITIZE=OFF)

# The AArch64 build covers the video relay and what it is made of.
aarch64_tests='^(vok_log_test|vok_messages_test|vok_transport_test|vok_client_test|vok_common_test|vok_cmdparser_test|vok_stream_test|.*relay.*|.*frame.*|consumer_.*|video_.*)$'

build_and_test() {
  local arch=$1 toolchain=$2 build_dir=build-$1
  cmake -S . -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/$toolchain.cmake" "${common_args[@]}"
  if [[ $arch == armhf ]]; then
    cmake --build "$build_dir" -j"$jobs"
    ctest --test-dir "$build_dir" --output-on-failure
  else
    local targets
    targets=$(ctest --test-dir "$build_dir" -N -R "$aarch64_tests" | sed -n 's/^ *Test *#[0-9]*: //p')
    cmake --build "$build_dir" -j"$jobs" --target frame_relay $targets
    ctest --test-dir "$build_dir" --output-on-failure -R "$aarch64_tests"
  fi
  echo "cross ($arch): artifacts"
  find "$build_dir" -type f \( -name VOK_App -o -name servo_controller -o -name '*.so' \) \
    -not -path '*/CMakeFiles/*' -exec file {} +
}

case "${1:-}" in
  armhf) build_and_test armhf arm-linux-gnueabihf ;;
  aarch64) build_and_test aarch64 aarch64-linux-gnu ;;
  all)
    build_and_test armhf arm-linux-gnueabihf
    build_and_test aarch64 aarch64-linux-gnu
    ;;
  *)
    echo "usage: $0 armhf|aarch64|all" >&2
    exit 2
    ;;
esac
