#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test.
#   scripts/test.sh             plain build in build/
#   scripts/test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/;
#                               any sanitizer report, also from a child process, fails the run
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

build_dir=build
cmake_args=()
if [[ "${1:-}" == "--sanitize" ]]; then
  build_dir=build-asan
  cmake_args+=(-DVOK_SANITIZE=ON -DVOK_BUILD_BENCH=OFF)
fi

cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${cmake_args[@]}"
cmake --build "$build_dir" -j"$(nproc)"

if [[ "${1:-}" == "--sanitize" ]]; then
  reports="$PWD/$build_dir/sanitizer-reports"
  rm -rf "$reports" && mkdir -p "$reports"
  export ASAN_OPTIONS="log_path=$reports/asan:abort_on_error=0:halt_on_error=1"
  export UBSAN_OPTIONS="log_path=$reports/ubsan:print_stacktrace=1:halt_on_error=1"
  status=0
  ctest --test-dir "$build_dir" --output-on-failure || status=$?
  if compgen -G "$reports/*" >/dev/null; then
    echo "sanitizer reports:"
    cat "$reports"/*
    exit 1
  fi
  exit $status
fi

ctest --test-dir "$build_dir" --output-on-failure
