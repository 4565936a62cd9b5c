# vok_camera through real processes: an ffmpeg pipeline into the camera, the
# frame relay program and a viewer on port 2020; a stream of bad images.
vok_add_integration_test(camera_itest
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/camera_itest.cpp
  LIBS vok_video_itest_support vok_client
  DEPENDS vok_camera frame_relay_app
  TIMEOUT 120)
if(TARGET camera_itest)
  target_compile_definitions(camera_itest PRIVATE
    VOK_CAMERA_PATH="$<TARGET_FILE:vok_camera>"
    FRAME_RELAY_PROGRAM_PATH="$<TARGET_FILE:frame_relay_app>")
endif()
