# The numeric command-line options of the broker and the stand-alone relay,
# and the ranged numbers of the apps' own options.
add_library(vok_cmdparser STATIC src/cmdline/CommandParser.cpp src/cmdline/optionNumber.cpp)
target_include_directories(vok_cmdparser PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/src/cmdline)
target_link_libraries(vok_cmdparser PUBLIC vok_log)

vok_add_unit_test(vok_cmdparser_test
  SOURCES test/CommandParser_test.cpp
  LIBS vok_cmdparser)
