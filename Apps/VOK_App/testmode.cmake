# The broker's test mode: loads the video relay library and the stand-in
# camera provider from the working directory (included by CMakeLists.txt).
target_sources(vok_broker PRIVATE src/testMode.cpp src/DynamicLoaderLinux.cpp)
target_link_libraries(vok_broker PUBLIC vok_messages ${CMAKE_DL_LIBS})

vok_add_unit_test(vok_testmode_test
  SOURCES test/testMode_test.cpp
  LIBS vok_broker)
