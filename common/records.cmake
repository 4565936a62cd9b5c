# The records that travel through the segment rings, one library each, linked
# by both of their ends: the remote-control values (command feed to servo
# controller) and the camera frame (camera providers to the frame relay).
add_library(remote_control_record STATIC
  records/remote_control/UserDataStruct.cpp
  records/remote_control/channelText.cpp
  records/remote_control/neutralValues.cpp)
target_include_directories(remote_control_record PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/records/remote_control)
target_link_libraries(remote_control_record PUBLIC vok_client)

add_library(camera_record STATIC
  records/camera/UserDataStruct.cpp
  records/camera/jpegImage.cpp)
target_include_directories(camera_record PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/records/camera)
target_link_libraries(camera_record PUBLIC vok_client)

# Layouts on the architecture being built for; one executable per record,
# since both classes bear the name the system gives them.
vok_add_unit_test(servo_record_layout_test
  SOURCES records/test/remoteControlRecord_layout_test.cpp records/test/remoteControlRecord_test.cpp
  LIBS remote_control_record)
vok_add_unit_test(frame_record_layout_test
  SOURCES records/test/cameraRecord_layout_test.cpp
  LIBS camera_record)
