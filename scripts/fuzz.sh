#!/usr/bin/env bash
# Builds the message-reader fuzzers and the one of the broker's sign-in wait with clang
# (libFuzzer, ASan, UBSan) in build-fuzz/ and runs each for a bounded time, seeded with
# the example documents. Any crash, sanitizer report, leak or hang fails the run.
#   scripts/fuzz.sh           about 20 s per fuzzer
#   FUZZ_SECONDS=300 scripts/fuzz.sh
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

seconds="${FUZZ_SECONDS:-20}"
build_dir=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVOK_BUILD_FUZZ=ON -DVOK_BUILD_TESTS=OFF -DVOK_BUILD_BENCH=OFF
cmake --build "$build_dir" -j"$(nproc)" --target fuzz_signin fuzz_reply fuzz_environment \
  fuzz_signin_pieces

run() {
  local target=$1 seeds=$2
  local work="$build_dir/fuzz/$target-corpus"
  mkdir -p "$work"
  echo "fuzz: $target for ${seconds}s"
  # New inputs go to the work directory; the committed seeds stay as they are.
  "$build_dir/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -dict=fuzz/json.dict -artifact_prefix="$build_dir/fuzz/$target-" \
    "$work" "fuzz/corpus/$seeds"
}

run fuzz_signin signIn
run fuzz_reply reply
run fuzz_environment environment
run fuzz_signin_pieces signInPieces
echo "fuzz: no findings"
