# Layout of the bramixData record on the architecture being built for.
vok_add_unit_test(servo_record_layout_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/record_layout_test.cpp
  LIBS servo_userdata)
