add_library(vok_log STATIC
  src/log/log_datalayer.cpp
  src/log/VOKException.cpp)
target_include_directories(vok_log PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/src/log)

vok_add_unit_test(vok_log_test
  SOURCES test/log_datalayer_test.cpp
  LIBS vok_log)
