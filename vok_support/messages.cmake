# The message layer: the app model, the sign-in, reply and environment messages.
# nlohmann/json stays private: only these sources and their tests see it.
find_package(nlohmann_json 3 REQUIRED)

add_library(vok_messages STATIC
  src/Symbol.cpp
  src/ShmDescriptionBase.cpp
  src/Provides.cpp
  src/Requests.cpp
  src/ApplicationData.cpp
  src/StringDefs.cpp
  src/configurationData.cpp
  src/configurationDataFactory.cpp
  src/configurationDataFactoryReaders.cpp
  src/configurationDataFactoryResponse.cpp
  src/ToJsonBase.cpp
  src/ConfigToJson.cpp
  src/responseToJson.cpp
  src/VokInformation.cpp
  src/DataProviderInfo.cpp
  src/ResponseData.cpp
  src/VokEnvironmentConfig.cpp)
target_include_directories(vok_messages PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/src)
target_link_libraries(vok_messages PUBLIC vok_log PRIVATE nlohmann_json::nlohmann_json)

vok_add_unit_test(vok_messages_test
  SOURCES
    test/applicationData_test.cpp
    test/signInMessage_test.cpp
    test/replyMessage_test.cpp
    test/environmentConfig_test.cpp
  LIBS vok_messages nlohmann_json::nlohmann_json)
