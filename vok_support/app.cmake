# A program's main: the stop signals, real time, and the boundary that logs a failure.
add_library(vok_app STATIC src/app/logFailure.cpp src/app/runApp.cpp)
target_include_directories(vok_app PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/src/app)
target_link_libraries(vok_app PUBLIC vok_process vok_messages vok_log)

vok_add_unit_test(vok_app_test
  SOURCES test/logFailure_test.cpp test/runApp_test.cpp
  LIBS vok_app)
