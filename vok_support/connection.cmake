# The connection object: sign-in through the socket connection, segment rings
# through the shared-memory layer.
target_sources(vok_client PRIVATE src/client/vokConnection.cpp src/client/ringOwner.cpp)
target_link_libraries(vok_client PUBLIC vok_common)

vok_add_unit_test(vok_connection_test
  SOURCES test/vokConnection_test.cpp
  LIBS vok_client)
if(TARGET vok_connection_test)
  target_include_directories(vok_connection_test PRIVATE ${PROJECT_SOURCE_DIR}/common/test)
endif()
