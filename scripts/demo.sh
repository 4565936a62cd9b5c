#!/usr/bin/env bash
# The remote-control demo: sets up the machine, builds into build/ (or
# $VOK_DEMO_BUILD), starts the broker (VOK_App -c 2), servo_controller and the
# Python command feed sweeping channels 0-2, and shows the 15-character
# frames that arrive on the serial line. Without a board (no /dev/serial0) a
# pseudo-terminal stands in at /dev/serial0 and its other end is shown here.
# Ctrl-C stops everything it started, by pid, and leaves no process, socket
# file, link or shared-memory name behind. Arguments go to the feed's sweep
# (see: command_feed/tool/command_feed.py sweep --help); with "console" as the
# first argument the feed is the browser operator console on port 2021
# instead, and the rest go to its serve mode. VOK_DEMO_CAMERA=ffmpeg
# shows ffmpeg's moving test picture through vok_camera instead of the
# broker's stand-in camera (see scripts/demo_video.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/demo_video.sh  # ===== video section: its helpers =====

scripts/setup.sh
build=${VOK_DEMO_BUILD:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target VOK_App servo_controller _CommandFeed

serial=/dev/serial0
ring=/dev/shm/Remote_open_control_kit_enabled_target_\(Zentor\)Shm
work=$(mktemp -d /tmp/vok_demo.XXXXXX)
broker="" servo="" feed="" line="" monitor="" tailer=""
own_link=""

say() { echo "demo: $*"; }

# A daemon forked by a program we started is the one process that still
# writes to our private log file; that identifies it by pid.
find_writer() {
  local fd
  for fd in /proc/[0-9]*/fd/1; do
    if [[ "$(readlink "$fd" 2>/dev/null)" == "$1" ]]; then
      fd=${fd#/proc/}
      echo "${fd%%/*}"
      return 0
    fi
  done
  return 1
}

wait_for_writer() {
  local pid
  for _ in $(seq 100); do
    pid=$(find_writer "$1") && { echo "$pid"; return 0; }
    sleep 0.05
  done
  return 1
}

alive() { [[ -n "$1" ]] && kill -0 "$1" 2>/dev/null; }

# SIGINT (a terminal's Ctrl-C has already sent it to the whole group), then
# up to 5 s for the process to end, then SIGKILL.
stop_pid() {
  local pid=$1
  alive "$pid" || return 0
  kill -INT "$pid" 2>/dev/null || true
  for _ in $(seq 50); do
    alive "$pid" || return 0
    sleep 0.1
  done
  say "pid $pid ignored SIGINT; killing it"
  kill -KILL "$pid" 2>/dev/null || true
}

stop() {
  trap - INT TERM EXIT
  echo
  sleep 0.2
  # The feed first: its publisher removes the ring when it stops.
  stop_pid "$feed"
  stop_pid "$servo"
  # ===== video section: its broker, camera and relay =====
  video_stop
  stop_pid "$broker"
  for pid in "$line" "$monitor" "$tailer"; do
    if alive "$pid"; then
      kill -TERM "$pid" 2>/dev/null || true
      wait "$pid" 2>/dev/null || true
    fi
  done
  if [[ -n "$broker" && -e "/tmp/sock_$broker.uds" ]]; then
    say "removing the broker's socket file /tmp/sock_$broker.uds"
    rm -f "/tmp/sock_$broker.uds"
  fi
  if [[ -e "$ring" ]]; then
    say "removing the ring $ring"
    rm -f "$ring"
  fi
  # Only the link this demo made, and only while it is still a link.
  if [[ -n "$own_link" && -L "$serial" ]]; then
    rm -f "$serial"
  fi
  say "stopped; logs were in $work (now removed)"
  rm -rf "$work"
  exit 0
}
trap stop INT TERM EXIT

# The serial line: the board's port, or a pseudo-terminal in its place.
if [[ -e "$serial" ]]; then
  say "$serial exists: the frames go to the servo board (shown below as RECEIVED lines)"
else
  mkfifo "$work/line"
  # The other end of the line: one 15-character frame per servo pass. The
  # reader goes first, since opening the fifo for writing waits for it.
  (
    while IFS= read -r -n 15 frame; do
      echo "serial0 <- $frame"
    done <"$work/line"
  ) &
  monitor=$!
  socat -u "pty,raw,echo=0,link=$serial" STDOUT 2>"$work/socat.log" >"$work/line" &
  line=$!
  own_link=1
  for _ in $(seq 100); do
    [[ -L "$serial" ]] && break
    sleep 0.05
  done
  say "no board: $serial -> $(readlink "$serial"), a pseudo-terminal; its other end is shown below"
fi

"$build/Apps/VOK_App/VOK_App" -c 2 >"$work/broker.log" 2>&1
broker=$(wait_for_writer "$work/broker.log") || { say "the broker did not start"; exit 1; }
for _ in $(seq 100); do
  [[ -S "/tmp/sock_$broker.uds" ]] && break
  sleep 0.05
done
say "broker pid $broker, socket file /tmp/sock_$broker.uds"

# The feed's publisher repaints its 'SENT:' line; keep that out of the way.
feed_mode=(sweep --channels 0,1,2 "$@")
[[ "${1:-}" == console ]] && feed_mode=(serve "${@:2}")
PYTHONPATH="$build/python" /usr/bin/python3 command_feed/tool/command_feed.py \
  --publisher-log "$work/feed-screen.log" "${feed_mode[@]}" \
  >"$work/feed.log" 2>&1 &
feed=$!
for _ in $(seq 200); do
  [[ -e "$ring" ]] && break
  alive "$feed" || { cat "$work/feed.log"; say "the feed did not start"; exit 1; }
  sleep 0.05
done
say "command feed pid $feed, ring $ring"

# A feed that stops writing for half a second puts the neutral frame on the line.
"$build/servo_controller/servo_controller" --failsafe 500 >"$work/servo.log" 2>"$work/servo.err"
servo=$(wait_for_writer "$work/servo.log") || { say "servo_controller did not start"; exit 1; }
say "servo_controller pid $servo; press Ctrl-C to stop everything"

# ===== video section: a camera and the frame relay, stream on port 2020 =====
video_start "$build" "$work" "$work/broker.log" || say "video: not started"
if [[ "${feed_mode[0]}" == serve ]]; then
  say "console: open http://127.0.0.1:2021/ in a browser (video, sliders, keys, game pad)"
else
  say "console: scripts/demo.sh console drives from http://127.0.0.1:2021/ instead of the sweep"
fi

if [[ -n "$own_link" ]]; then
  tail -n +1 -f "$work/broker.log" "$work/servo.log" &
else
  tail -n +1 -f "$work/broker.log" "$work/servo.log" "$work/servo.err" &
fi
tailer=$!

while alive "$broker" || alive "$servo" || alive "$feed"; do
  sleep 0.2
done
say "all processes ended"
