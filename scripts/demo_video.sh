# The video part of scripts/demo.sh, which sources this file and uses its
# helpers say, wait_for_writer, alive and stop_pid.
#
# A second broker serves the video apps, and the camera's JPEG frames are
# served as an MJPEG stream at http://127.0.0.1:2020/. The camera is chosen
# by VOK_DEMO_CAMERA:
#   standin (default)  the broker in test mode, in the build's video folder
#                      (libframe_relay.so and libFrameFeed.so): the stand-in
#                      camera and the frame relay run inside it
#   ffmpeg             vok_camera fed by ffmpeg's moving test picture and the
#                      frame_relay program, signed in to a plain broker
# It starts only after the remote-control apps have been answered by their
# broker: apps find a broker with pidof, which lists the newest one first.

video_broker="" video_camera="" video_relay=""

# video_start BUILD_DIR WORK_DIR REMOTE_BROKER_LOG
video_start() {
  local build=$1 work=$2 remote_log=$3 camera=${VOK_DEMO_CAMERA:-standin}
  cmake --build "$build" -j"$(nproc)" --target VOK_App frame_relay frame_relay_app FrameFeed vok_camera >/dev/null
  for _ in $(seq 300); do
    grep -q "provider for" "$remote_log" 2>/dev/null && break
    sleep 0.1
  done
  case $camera in
    standin)
      (cd "$build/video" && exec ../Apps/VOK_App/VOK_App --test 1) >"$work/video.log" 2>&1 ;;
    ffmpeg)
      "$build/Apps/VOK_App/VOK_App" -c 2 >"$work/video.log" 2>&1 ;;
    *)
      say "VOK_DEMO_CAMERA is standin or ffmpeg, not $camera"
      return 1 ;;
  esac
  video_broker=$(wait_for_writer "$work/video.log") || { say "the video broker did not start"; return 1; }
  if [[ $camera == ffmpeg ]]; then
    "$build/camera/vok_camera" --source-cmd \
      "exec ffmpeg -loglevel error -nostdin -re -f lavfi -i testsrc=size=640x480:rate=15 -f mjpeg -q:v 5 -" \
      >>"$work/video.log" 2>&1 &
    video_camera=$!
    "$build/video/frame_relay" >>"$work/video.log" 2>&1 &
    video_relay=$!
  fi
  for _ in $(seq 300); do
    grep -q "I am consumer reading providers memory" "$work/video.log" && break
    alive "$video_broker" || break
    sleep 0.1
  done
  if [[ $camera == ffmpeg ]]; then
    say "video broker pid $video_broker; vok_camera pid $video_camera (ffmpeg test picture), frame_relay pid $video_relay"
  else
    say "video broker pid $video_broker (test mode: camera stand-in and frame relay in it)"
  fi
  say "video: open http://127.0.0.1:2020/ in a browser"
}

video_stop() {
  # The camera first: it stops its pipeline and removes its ring.
  stop_pid "$video_camera"
  stop_pid "$video_relay"
  stop_pid "$video_broker"
  if [[ -n "$video_broker" && -e "/tmp/sock_$video_broker.uds" ]]; then
    rm -f "/tmp/sock_$video_broker.uds"
  fi
  if [[ -n "$video_camera" && -e "/dev/shm/ZentorMotion(ZM)Shm" ]]; then
    rm -f "/dev/shm/ZentorMotion(ZM)Shm"
  fi
}
