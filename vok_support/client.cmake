# An app's side of the conversation with the broker.
add_library(vok_client STATIC
  src/client/receivedText.cpp
  src/client/socketConnection.cpp)
target_include_directories(vok_client PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/src/client)
target_link_libraries(vok_client PUBLIC vok_app vok_messages vok_transport vok_log)

vok_add_unit_test(vok_client_test
  SOURCES
    test/receivedText_test.cpp
    test/socketConnection_test.cpp
  LIBS vok_client
  TIMEOUT 60)
