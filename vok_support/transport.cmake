# The string transport over local stream sockets, with its system-call layer,
# and the one rule for when gathered pieces are a whole message.
add_library(vok_transport STATIC
  src/brokerLookup.cpp
  src/brokerTrust.cpp
  src/listeningSocket.cpp
  src/messageFrame.cpp
  src/peerCredentials.cpp
  src/SocketWrapperLinux.cpp
  src/socketHandler.cpp
  src/socketHandlerClient.cpp
  src/socketHandlerServer.cpp
  src/socketHandlerTransport.cpp)
target_include_directories(vok_transport PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/src)
target_link_libraries(vok_transport PUBLIC vok_process vok_log)

vok_add_unit_test(vok_transport_test
  SOURCES
    test/messageFrame_test.cpp
    test/socketHandler_mock_test.cpp
    test/socketHandler_socket_test.cpp
  LIBS vok_transport)
