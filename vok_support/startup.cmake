# An app's start-up: the sign-in as provider or consumer in one call. The
# apps' integration tests run it against a real broker.
target_sources(vok_client PRIVATE src/client/appSignIn.cpp src/client/brokerRejoin.cpp src/client/brokerIndex.cpp
  src/client/recordContract.cpp src/client/ringWake.cpp src/client/recordWait.cpp)
