# Helpers shared by every component's tests.
#
# Tests that start VOK_App, use /dev/serial0 or TCP port 2020 hold the
# resource lock VOK_SYSTEM_LOCK, so no two of them ever run at once.
set(VOK_SYSTEM_LOCK vok_system)

# vok_add_unit_test(NAME SOURCES... LIBS ...): one GoogleTest executable, one CTest test.
function(vok_add_unit_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT VOK_BUILD_TESTS)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main Threads::Threads)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
endfunction()
