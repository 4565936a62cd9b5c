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

# The AArch64 build covers the video relay and what it is made of, with the
# broker and camera stand-in its integration tests run it against.
aarch64_tests=(
  vok_log_test vok_messages_test vok_transport_test vok_client_test vok_connection_test
  vok_common_test vok_cmdparser_test vok_stream_test frame_relay_test frame_record_layout_test
  frame_feed_test servo_record_layout_test video_relay_itest video_testmode_itest
)

# Emulated programs run several times slower than native ones, and slower
# still on a busy machine: a test that misses one of the product's time slots
# gets a second run.
ctest_args=(--output-on-failure --repeat until-pass:2)

build_and_test() {
  local arch=$1 toolchain=$2 build_dir=build-$1
  local run_args=("${ctest_args[@]}")
  cmake -S . -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/$toolchain.cmake" "${common_args[@]}"
  if [[ $arch == armhf ]]; then
    cmake --build "$build_dir" -j"$jobs"
  else
    cmake --build "$build_dir" -j"$jobs" --target frame_relay "${aarch64_tests[@]}"
    local names
    names=$(IFS='|'; echo "${aarch64_tests[*]}")
    run_args+=(-R "^($names)\$")
  fi
  echo "cross ($arch): artifacts"
  find "$build_dir" -type f \( -name VOK_App -o -name servo_controller -o -name frame_relay -o -name '*.so' \) \
    -not -path '*/CMakeFiles/*' -exec file {} +
  local log="$build_dir/ctest-output.log" status=0
  ctest --test-dir "$build_dir" "${run_args[@]}" 2>&1 | tee "$log" || status=$?
  # ctest prints "Start N: name" once per run of a test.
  local repeated
  repeated=$(sed -n 's/^ *Start *[0-9]*: //p' "$log" | sort | uniq -d | tr '\n' ' ')
  if [[ -n $repeated ]]; then
    echo "cross ($arch): needed a second run: $repeated"
  fi
  return "$status"
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
