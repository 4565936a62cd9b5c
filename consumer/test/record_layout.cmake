# Layout of the bramixmotionData record on the architecture being built for.
vok_add_unit_test(frame_record_layout_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/record_layout_test.cpp ${CMAKE_CURRENT_LIST_DIR}/../src/UserDataStruct.cpp
  LIBS vok_common)
if(TARGET frame_record_layout_test)
  target_include_directories(frame_record_layout_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../src)
endif()
