#pragma once

// The documents and values every message test starts from, one place for all of them.

#include <gtest/gtest.h>

#include <string>

#include "ApplicationData.h"
#include "ResponseData.h"
#include "configurationData.h"
#include "configurationDataFactoryJson.h"

namespace examples {

const std::string AppName = "Remote_open_control_kit_enabled_target_(Zentor)";

const std::string ProviderSignIn =
    R"doc({"Remote_open_control_kit_enabled_target_(Zentor)":{"Description":"","Manufacturer":"","PID":733,"Provides":{"Remote_open_control_kit_enabled_target_(Zentor)Shm":{"Description":"Zentor for Bramix","Signal":10,"Symbols":{"bramixData":{"Offset":4,"Size":15,"Type":"int8_t"}},"Type":"Provide","Version":"V0.1"}},"Type":"ApplicationData","Version":"0.1"},"Type":"ConnectToVOKConfig","Version":"0.1"})doc";

const std::string ConsumerSignIn =
    R"doc({"Remote_open_control_kit_enabled_target_(Zentor)":{"Description":"","Manufacturer":"","PID":812,"Requests":{"Remote_open_control_kit_enabled_target_(Zentor)":{"Description":"wish to receive remote control","Symbols":{"bramixData":{"Size":15,"Type":"int8_t"}},"Type":"Request","Version":"0.1"}},"Type":"ApplicationData","Version":"0.1"},"Type":"ConnectToVOKConfig","Version":"0.1"})doc";

const std::string ReplyWithProvider =
    R"doc({"DataProviderAvailable":{"Remote_open_control_kit_enabled_target_(Zentor)":{"Description":"","Manufacturer":"","PID":733,"Provides":{"Remote_open_control_kit_enabled_target_(Zentor)Shm":{"Description":"Zentor for Bramix","Signal":10,"Symbols":{"bramixData":{"Offset":4,"Size":15,"Type":"int8_t"}},"Type":"Provide","Version":"V0.1"}},"Type":"ApplicationData","Version":"0.1"}},"Type":"ConnectToVOKResult","VOKInformation":{"ErrorMessage":"OK","Result":"connected","VOKPid":655,"VOKVersion":"0.1"},"Version":"0.1"})doc";

const std::string ReplyWithoutProvider =
    R"doc({"Type":"ConnectToVOKResult","VOKInformation":{"ErrorMessage":"OK","Result":"connected","VOKPid":655,"VOKVersion":"0.1"},"Version":"0.1"})doc";

const std::string EnvironmentReply =
    R"doc({"ConfigData":{"SegmentLifetime":100},"Type":"ConfigDataResponse","Version":"0.1"})doc";

inline ApplicationData providerApp() {
  Provides provide("Zentor for Bramix", "V0.1", {Symbol("bramixData", "int8_t", 15, 4)},
                   AppName + "Shm", 10);
  return ApplicationData(AppName, 733, "", "0.1", "", {provide}, {});
}

inline ApplicationData consumerApp() {
  Requests request("wish to receive remote control", "0.1",
                   {Symbol("bramixData", "int8_t", 15, 0)}, AppName);
  return ApplicationData(AppName, 812, "", "0.1", "", {}, {request});
}

inline ConfigurationData signIn(ApplicationData app) {
  return ConfigurationData("ConnectToVOKConfig", "0.1", std::move(app), 0);
}

inline VOK::ResponseData reply(std::list<VOK::DataProviderInfo> providers) {
  return VOK::ResponseData("ConnectToVOKResult", "0.1",
                           VOK::VokInformation(655, "0.1", "connected", "OK"),
                           std::move(providers));
}

// Every field, element by element (operator== compares only identities).
inline void expectSameSymbols(const std::list<Symbol>& expected, const std::list<Symbol>& actual) {
  ASSERT_EQ(expected.size(), actual.size());
  auto a = actual.begin();
  for (const Symbol& e : expected) {
    EXPECT_EQ(e.getName(), a->getName());
    EXPECT_EQ(e.getType(), a->getType());
    EXPECT_EQ(e.getSizeOf(), a->getSizeOf());
    EXPECT_EQ(e.getOffset(), a->getOffset());
    ++a;
  }
}

template <typename Description>
void expectSameBase(const Description& expected, const Description& actual) {
  EXPECT_EQ(expected.getDescription(), actual.getDescription());
  EXPECT_EQ(expected.getAppVersion(), actual.getAppVersion());
  expectSameSymbols(expected.getSymbols(), actual.getSymbols());
}

inline void expectSameApp(const ApplicationData& expected, const ApplicationData& actual) {
  EXPECT_EQ(expected.getApplicationName(), actual.getApplicationName());
  EXPECT_EQ(expected.getPid(), actual.getPid());
  EXPECT_EQ(expected.getDescription(), actual.getDescription());
  EXPECT_EQ(expected.getApplicationVersion(), actual.getApplicationVersion());
  EXPECT_EQ(expected.getManufacturer(), actual.getManufacturer());
  ASSERT_EQ(expected.getProvides().size(), actual.getProvides().size());
  auto p = actual.getProvides().begin();
  for (const Provides& e : expected.getProvides()) {
    EXPECT_EQ(e.getShmID(), p->getShmID());
    EXPECT_EQ(e.getSignal(), p->getSignal());
    expectSameBase(e, *p++);
  }
  ASSERT_EQ(expected.getRequests().size(), actual.getRequests().size());
  auto r = actual.getRequests().begin();
  for (const Requests& e : expected.getRequests()) {
    EXPECT_EQ(e.getAppName(), r->getAppName());
    expectSameBase(e, *r++);
  }
}

enum class Thrown { Nothing, AttributeMissing, InvalidArgument, TypeError };

// How a call ended: what it threw, the exception's text, and what it printed.
struct Outcome {
  Thrown thrown = Thrown::Nothing;
  std::string text;
  std::string out;
};

// The reader's text for a key that is not there.
inline std::string missing(const std::string& key) {
  return "Could not find argument " + key + " in json file - contains failed";
}

// The reader's log line for a text.
inline std::string errorLine(const std::string& text) {
  return "ERR: (vok_support/src/configurationDataFactory): " + text + "\n";
}

template <typename Call>
Outcome outcomeOf(Call call) {
  Outcome outcome;
  testing::internal::CaptureStdout();
  try {
    call();
  } catch (const ConfigurationDataFactory::AttributeMissingException& e) {
    outcome = {Thrown::AttributeMissing, e.message, ""};
  } catch (const nlohmann::json::type_error&) {
    outcome = {Thrown::TypeError, "", ""};
  } catch (const std::invalid_argument& e) {
    outcome = {Thrown::InvalidArgument, e.what(), ""};
  }
  outcome.out = testing::internal::GetCapturedStdout();
  return outcome;
}

// A call ends with this exception and text, and logs that text too when logged.
template <typename Call>
void expectFailure(Call call, Thrown thrown, const std::string& text, bool logged) {
  const Outcome outcome = outcomeOf(call);
  EXPECT_EQ(thrown, outcome.thrown);
  EXPECT_EQ(text, outcome.text);
  EXPECT_EQ(logged ? errorLine(text) : "", outcome.out);
}

}  // namespace examples
