# The video part of scripts/demo.sh, which sources this file and uses its
# helpers say, wait_for_writer and stop_pid.
#
# A second broker in test mode runs in the build's video folder, which holds
# libframe_relay.so and libFrameFeed.so: the stand-in camera and the frame
# relay sign in to it, and the camera's JPEG frames are served as an MJPEG
# stream at http://127.0.0.1:2020/. It starts only after the remote-control
# apps have been answered by their broker: apps find a broker with pidof,
# which lists the newest one first.

video_broker=""

# video_start BUILD_DIR WORK_DIR REMOTE_BROKER_LOG
video_start() {
  local build=$1 work=$2 remote_log=$3
  cmake --build "$build" -j"$(nproc)" --target VOK_App frame_relay FrameFeed >/dev/null
  for _ in $(seq 300); do
    grep -q "provider for" "$remote_log" 2>/dev/null && break
    sleep 0.1
  done
  (cd "$build/video" && exec ../Apps/VOK_App/VOK_App --test 1) >"$work/video.log" 2>&1
  video_broker=$(wait_for_writer "$work/video.log") || { say "the video broker did not start"; return 1; }
  for _ in $(seq 300); do
    grep -q "I am consumer reading providers memory" "$work/video.log" && break
    alive "$video_broker" || break
    sleep 0.1
  done
  say "video broker pid $video_broker (test mode: camera stand-in and frame relay in it)"
  say "video: open http://127.0.0.1:2020/ in a browser"
}

video_stop() {
  stop_pid "$video_broker"
  if [[ -n "$video_broker" && -e "/tmp/sock_$video_broker.uds" ]]; then
    rm -f "/tmp/sock_$video_broker.uds"
  fi
}
