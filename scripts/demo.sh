#!/usr/bin/env bash
# Sets up the machine, builds the broker into build/ (or $VOK_DEMO_BUILD) and runs it: you see its
# banner and its socket file; Ctrl-C stops it cleanly and leaves nothing behind.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
build=${VOK_DEMO_BUILD:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target VOK_App

work=$(mktemp -d /tmp/vok_demo.XXXXXX)
log="$work/broker.log"
broker=""
tailer=""

# The broker forks into the background; its child is the one process that
# still writes to our private log file, which identifies it by pid.
find_broker() {
  local fd
  for fd in /proc/[0-9]*/fd/1; do
    if [[ "$(readlink "$fd" 2>/dev/null)" == "$log" ]]; then
      fd=${fd#/proc/}
      echo "${fd%%/*}"
      return 0
    fi
  done
  return 1
}

stop() {
  trap - INT TERM EXIT
  if [[ -n "$broker" ]] && kill -0 "$broker" 2>/dev/null; then
    # Ctrl-C in a terminal reaches the broker too (same process group).
    sleep 0.1
    if ! grep -q "Caught Stop-signal" "$log"; then
      kill -INT "$broker" 2>/dev/null || true
    fi
    for _ in $(seq 50); do
      kill -0 "$broker" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$broker" 2>/dev/null; then
      kill -KILL "$broker" 2>/dev/null || true
    fi
  fi
  sleep 0.2
  if [[ -n "$tailer" ]]; then
    kill "$tailer" 2>/dev/null || true
    wait "$tailer" 2>/dev/null || true
  fi
  if [[ -n "$broker" ]]; then
    if [[ -e "/tmp/sock_$broker.uds" ]]; then
      rm -f "/tmp/sock_$broker.uds"
    else
      echo "demo: the broker removed its socket file /tmp/sock_$broker.uds"
    fi
  fi
  rm -rf "$work"
  exit 0
}
trap stop INT TERM EXIT

"$build/Apps/VOK_App/VOK_App" "$@" >"$log" 2>&1
tail -n +1 -f "$log" &
tailer=$!

for _ in $(seq 100); do
  broker=$(find_broker) && break
  broker=""
  sleep 0.05
done
if [[ -z "$broker" ]]; then
  echo "demo: the broker did not start" >&2
  exit 1
fi
for _ in $(seq 100); do
  [[ -S "/tmp/sock_$broker.uds" ]] && break
  kill -0 "$broker" 2>/dev/null || break
  sleep 0.05
done
if [[ -S "/tmp/sock_$broker.uds" ]]; then
  echo "demo: broker pid $broker, socket file:"
  ls -l "/tmp/sock_$broker.uds"
  echo "demo: press Ctrl-C to stop it"
fi
while kill -0 "$broker" 2>/dev/null; do
  sleep 0.2
done
