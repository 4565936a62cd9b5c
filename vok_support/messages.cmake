# The message layer: the app model, the sign-in, reply and environment messages.
# nlohmann/json stays private: only these sources and their tests see it.
find_package(nlohmann_json 3 REQUIRED)

add_library(vok_messages STATIC
  src/messages/Symbol.cpp
  src/messages/ShmDescriptionBase.cpp
  src/messages/Provides.cpp
  src/messages/Requests.cpp
  src/messages/ApplicationData.cpp
  src/messages/StringDefs.cpp
  src/messages/configurationData.cpp
  src/messages/configurationDataFactory.cpp
  src/messages/configurationDataFactoryReaders.cpp
  src/messages/configurationDataFactoryResponse.cpp
  src/messages/ToJsonBase.cpp
  src/messages/ConfigToJson.cpp
  src/messages/responseToJson.cpp
  src/messages/VokInformation.cpp
  src/messages/DataProviderInfo.cpp
  src/messages/ResponseData.cpp
  src/messages/VokEnvironmentConfig.cpp)
target_include_directories(vok_messages PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/src/messages)
target_link_libraries(vok_messages PUBLIC vok_log PRIVATE nlohmann_json::nlohmann_json)

vok_add_unit_test(vok_messages_test
  SOURCES
    test/applicationData_test.cpp
    test/signInMessage_test.cpp
    test/signInParseThreads_test.cpp
    test/replyMessage_test.cpp
    test/environmentConfig_test.cpp
  LIBS vok_messages nlohmann_json::nlohmann_json)
