#!/usr/bin/env bash
# The remote-control demo: sets up the machine, builds into build/ (or
# $VOK_DEMO_BUILD), runs the chain of Apps/vok_launcher/vok_chain.example
# under vok_launcher (the broker, the Python command feed sweeping channels
# 0-2 and servo_controller, restarted together when one of them ends), and
# shows the 15-character frames that arrive on the serial line. Without a board (no /dev/serial0) a
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
cmake --build "$build" -j"$(nproc)" --target VOK_App servo_controller _CommandFeed vok_launcher

serial=/dev/serial0
work=$(mktemp -d /tmp/vok_demo.XXXXXX)
launcher="" line="" monitor="" tailer=""
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
  # The launcher stops the chain in order and removes what it left.
  if alive "$launcher"; then
    kill -INT "$launcher" 2>/dev/null || true
    wait "$launcher" 2>/dev/null || true
  fi
  # ===== video section: its broker, camera and relay =====
  video_stop
  for pid in "$line" "$monitor" "$tailer"; do
    if alive "$pid"; then
      kill -TERM "$pid" 2>/dev/null || true
      wait "$pid" 2>/dev/null || true
    fi
  done
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

# The example chain with this build's folder. The feed sweeps channels 0-2
# with the demo's arguments, or serves the console (first argument
# "console"); the arguments are single-quoted for the launcher's word
# splitting.
feed_mode="sweep --channels 0,1,2"
feed_arguments=("$@")
if [[ "${1:-}" == console ]]; then
  feed_mode=serve
  feed_arguments=("${@:2}")
fi
for argument in "${feed_arguments[@]}"; do
  feed_mode+=" '${argument//\'/\'\\\'\'}'"
done
sed -e "s|^build/|$build/|" -e "s|PYTHONPATH=build/|PYTHONPATH=$build/|" \
  -e "s|sweep --channels 0,1,2\$|$feed_mode|" Apps/vok_launcher/vok_chain.example >"$work/chain"
"$build/Apps/vok_launcher/vok_launcher" --grace 3000 "$work/chain" >"$work/launcher.log" 2>"$work/launcher.err" &
launcher=$!
for _ in $(seq 300); do
  grep -q "All 3 members started" "$work/launcher.log" && break
  alive "$launcher" || { cat "$work/launcher.log" "$work/launcher.err"; say "the launcher ended"; exit 1; }
  sleep 0.05
done
say "vok_launcher pid $launcher runs the chain of $work/chain; press Ctrl-C to stop everything"

# ===== video section: a camera and the frame relay, stream on port 2020 =====
video_start "$build" "$work" "$work/launcher.log" || say "video: not started"
if [[ "$feed_mode" == serve* ]]; then
  # The console prints its address with its token once it listens.
  console_url=""
  for _ in $(seq 200); do
    console_url=$(grep -ho "http://127.0.0.1:2021/?token=[^ ]*" "$work/launcher.err" "$work/launcher.log" | head -n 1)
    [[ -n "$console_url" ]] && break
    sleep 0.05
  done
  say "console: open ${console_url:-the address with ?token= that the console printed} in a browser (video, sliders, keys, game pad)"
else
  say "console: scripts/demo.sh console drives from http://127.0.0.1:2021/ instead of the sweep"
fi

if [[ -n "$own_link" ]]; then
  tail -n +1 -f "$work/launcher.log" &
else
  tail -n +1 -f "$work/launcher.log" "$work/launcher.err" &
fi
tailer=$!

wait "$launcher" || true
say "the launcher ended"
