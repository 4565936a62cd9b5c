# The string transport over local stream sockets, with its system-call layer,
# and the one rule for when gathered pieces are a whole message.
add_library(vok_transport STATIC
  src/transport/brokerLookup.cpp
  src/transport/brokerTrust.cpp
  src/transport/listeningSocket.cpp
  src/transport/messageFrame.cpp
  src/transport/peerCredentials.cpp
  src/transport/SocketWrapperLinux.cpp
  src/transport/socketHandler.cpp
  src/transport/socketHandlerClient.cpp
  src/transport/socketHandlerServer.cpp
  src/transport/socketHandlerTransport.cpp)
target_include_directories(vok_transport PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/src/transport)
target_link_libraries(vok_transport PUBLIC vok_process vok_log)

vok_add_unit_test(vok_transport_test
  SOURCES
    test/messageFrame_test.cpp
    test/socketHandler_mock_test.cpp
    test/socketHandler_socket_test.cpp
    test/socketTransport_mock_test.cpp
  # The frame rule is tried on the example messages.
  LIBS vok_transport vok_messages)
