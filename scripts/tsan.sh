#!/usr/bin/env bash
# Builds the threaded parts with ThreadSanitizer (-DVOK_TSAN=ON) in build-tsan/ and runs
# their tests: the ring's wake-up signal, the stream server, the relay's reader and
# dispatcher, the command feed's send, and its publisher thread (also woken by a
# change) in the Python module and on the real remote-control path. Any ThreadSanitizer report, also from a child process, fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

build_dir=build-tsan
tests=(vok_common_test vok_stream_test frame_relay_test command_feed_test command_feed_module_test
  remote_control_itest)

# GCC's runtime, not clang's: Debian's Python only starts with GCC's preloaded, and the
# module's tests need it in the interpreter.
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVOK_TSAN=ON -DVOK_BUILD_BENCH=OFF -DVOK_BUILD_FUZZ=OFF
cmake --build "$build_dir" -j"$(nproc)" --target vok_common_test vok_stream_test frame_relay_test \
  command_feed_test _CommandFeed VOK_App servo_controller remote_control_itest

reports="$PWD/$build_dir/tsan-reports"
rm -rf "$reports" && mkdir -p "$reports"
# The stream test of exhausted memory needs the failed allocation itself, not a report.
export TSAN_OPTIONS="log_path=$reports/tsan:halt_on_error=1:second_deadlock_stack=1:allocator_may_return_null=1"
pattern="^($(IFS='|'; echo "${tests[*]}"))\$"
status=0
# The module and remote-control tests start a broker: never beside another such run.
flock -o /tmp/vok-itest.lock ctest --test-dir "$build_dir" --output-on-failure -R "$pattern" ||
  status=$?
if compgen -G "$reports/*" >/dev/null; then
  echo "ThreadSanitizer reports:"
  cat "$reports"/*
  exit 1
fi
exit $status
