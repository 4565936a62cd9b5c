# What every program needs from its process: the stop signal, pauses that
# survive signals, real-time scheduling, the report of another account's file
# in its way.
add_library(vok_process STATIC
  src/process/foreignOwner.cpp
  src/process/pollPause.cpp
  src/process/stopSignalWatcher.cpp
  src/process/realTime.cpp
  src/process/RealTimeWrapperLinux.cpp)
target_include_directories(vok_process PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/src/process)
target_link_libraries(vok_process PUBLIC vok_log)

vok_add_unit_test(vok_process_test
  SOURCES test/process_test.cpp
  LIBS vok_process
  TIMEOUT 60)
