# Every program's own command line: one option table, one number converter,
# one outcome; the broker's and the stand-alone relay's looked up by CommandParser.
add_library(vok_cmdparser STATIC
  src/cmdline/CommandParser.cpp
  src/cmdline/numberText.cpp
  src/cmdline/optionTable.cpp
  src/cmdline/commandLine.cpp
  src/cmdline/optionLookup.cpp)
target_include_directories(vok_cmdparser PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/src/cmdline)
target_link_libraries(vok_cmdparser PUBLIC vok_log)

vok_add_unit_test(vok_cmdparser_test
  SOURCES test/CommandParser_test.cpp test/commandLine_test.cpp
  LIBS vok_cmdparser)
