#include <errno.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <memory>

#include "configurationDataFactoryJson.h"
#include "messageExamples.h"

namespace {

using ConfigurationDataFactory::CreateConfigurationFromString;
using ConfigurationDataFactory::json;
using examples::AppName;
using examples::errorLine;
using examples::missing;
using examples::Thrown;

std::unique_ptr<ConfigurationData> parse(const std::string& text, int fd = 0) {
  return CreateConfigurationFromString(text, fd);
}

TEST(SignInWriterTest, WritesTheProviderAndConsumerExamplesByteForByte) {
  EXPECT_EQ(examples::ProviderSignIn, examples::signIn(examples::providerApp()).toString());
  EXPECT_EQ(examples::ConsumerSignIn, examples::signIn(examples::consumerApp()).toString());
}

TEST(SignInWriterTest, ADescriptionWithoutSymbolsCannotBeWritten) {
  ConfigurationData config = examples::signIn(examples::providerApp());
  config.getAppData().add(Requests("r", "1", {}, "other"));
  examples::expectFailure([&] { config.toString(); }, Thrown::InvalidArgument,
                          "transformIntoJsonSymbolsToDataStructure(): Symbols were expected, but were not defined.",
                          false);
  EXPECT_THROW(config.isValid(), std::invalid_argument);
}

TEST(SignInWriterTest, WritesNonAsciiUnescapedAndRefusesInvalidUtf8) {
  ApplicationData app = examples::providerApp();
  app.setDescription("Fahrzeug \xC3\xBC");
  EXPECT_NE(std::string::npos, examples::signIn(app).toString().find("\"Fahrzeug \xC3\xBC\""));
  app.setDescription("\xFF");
  EXPECT_THROW(examples::signIn(app).toString(), json::type_error);
}

TEST(SignInReaderTest, ReadsTheExamplesBackIntoTheirValues) {
  auto provider = parse(examples::ProviderSignIn, 7);
  ASSERT_TRUE(provider);
  EXPECT_EQ("ConnectToVOKConfig", provider->getDataType());
  EXPECT_EQ("0.1", provider->getInterfaceVersion());
  EXPECT_EQ(7, provider->getSocketfd());
  examples::expectSameApp(examples::providerApp(), provider->getAppData());

  auto consumer = parse(examples::ConsumerSignIn);
  ASSERT_TRUE(consumer);
  examples::expectSameApp(examples::consumerApp(), consumer->getAppData());
}

TEST(SignInReaderTest, RoundTripSortsByKeyDropsRequestOffsetsAndMergesDuplicates) {
  ApplicationData app("me", -4, "d", "v", "m", {}, {});
  app.add(Provides("late", "1", {Symbol("z", "int", 4, 0), Symbol("a", "char", 1, 4)}, "shmB", 1));
  app.add(Provides("early", "2", {Symbol("x", "int", 4, 9)}, "shmA", -2));
  app.add(Provides("dup", "3", {Symbol("y", "int", 8, 16)}, "shmB", 5));
  app.add(Requests("want", "1", {Symbol("s", "int", 2, 6)}, "zeta"));
  app.add(Requests("want", "1", {Symbol("s", "int", 2, 6)}, "alpha"));
  auto back = parse(examples::signIn(app).toString());
  ASSERT_TRUE(back);

  ApplicationData expected("me", -4, "d", "v", "m", {}, {});
  expected.add(Provides("early", "2", {Symbol("x", "int", 4, 9)}, "shmA", -2));
  expected.add(Provides("dup", "3",
                        {Symbol("a", "char", 1, 4), Symbol("y", "int", 8, 16),
                         Symbol("z", "int", 4, 0)},
                        "shmB", 5));
  expected.add(Requests("want", "1", {Symbol("s", "int", 2, 0)}, "alpha"));
  expected.add(Requests("want", "1", {Symbol("s", "int", 2, 0)}, "zeta"));
  examples::expectSameApp(expected, back->getAppData());
  EXPECT_TRUE(*back == examples::signIn(expected));
}

TEST(SignInReaderTest, EmptyOrUnparsableTextGivesNullSilently) {
  testing::internal::CaptureStdout();
  EXPECT_FALSE(parse(""));
  EXPECT_FALSE(parse("not json"));
  EXPECT_FALSE(parse(examples::ProviderSignIn + "{}"));
  EXPECT_FALSE(parse("{\"Type\":\"x\", /* comment */ \"Version\":\"0.1\"}"));
  EXPECT_EQ("", testing::internal::GetCapturedStdout());
}

TEST(SignInReaderTest, AcceptsAnyTypeTextAndPicksTheFirstAppByKey) {
  json doc = json::parse(examples::ProviderSignIn);
  doc["Type"] = "SomethingElse";
  doc["AAA"] = doc[AppName];
  doc["AAA"]["PID"] = 1;
  auto config = parse(doc.dump());
  ASSERT_TRUE(config);
  EXPECT_EQ("SomethingElse", config->getDataType());
  EXPECT_EQ("AAA", config->getAppData().getApplicationName());
  EXPECT_EQ(1, config->getAppData().getPid());
}

TEST(SignInReaderTest, SkipsMembersOfAnotherKindButNotOfAnotherJsonType) {
  json doc = json::parse(examples::ProviderSignIn);
  json& provides = doc[AppName]["Provides"];
  provides["asRequest"] = provides[AppName + "Shm"];
  provides["asRequest"]["Type"] = "Request";
  provides["untyped"] = json::object();
  provides["scalar"] = 5;
  auto config = parse(doc.dump());
  ASSERT_TRUE(config);
  ASSERT_EQ(1u, config->getAppData().getProvides().size());
  EXPECT_EQ(AppName + "Shm", config->getAppData().getProvides().front().getShmID());

  provides["numbered"] = provides[AppName + "Shm"];
  provides["numbered"]["Type"] = 3;
  EXPECT_THROW(parse(doc.dump()), json::type_error);
}

TEST(SignInReaderTest, MissingOptionalKeysGiveEmptyTextsAndOneErrorLineEach) {
  json doc = json::parse(examples::ProviderSignIn);
  doc[AppName].erase("Description");
  doc[AppName].erase("Version");
  doc[AppName].erase("Manufacturer");
  testing::internal::CaptureStdout();
  auto config = parse(doc.dump());
  const std::string out = testing::internal::GetCapturedStdout();
  ASSERT_TRUE(config);
  EXPECT_EQ("", config->getAppData().getDescription());
  EXPECT_EQ("", config->getAppData().getApplicationVersion());
  EXPECT_EQ(errorLine(missing("Description")) + errorLine(missing("Version")) + errorLine(missing("Manufacturer")), out);
}

struct FailureRow {
  const char* what;
  std::function<void(json&)> change;
  Thrown thrown;
  std::string text;  // empty for the JSON library's own errors
  bool logged;
};

json& symbolOf(json& doc) {
  return doc[AppName]["Provides"][AppName + "Shm"]["Symbols"]["bramixData"];
}

const std::string OutOfRange = " in json file is out of range";

const FailureRow Rows[] = {
    {"no Type", [](json& d) { d.erase("Type"); }, Thrown::AttributeMissing, missing("Type"), true},
    {"no Version", [](json& d) { d.erase("Version"); }, Thrown::AttributeMissing,
     missing("Version"), true},
    {"no app", [](json& d) { d[AppName]["Type"] = "Other"; }, Thrown::AttributeMissing,
     "Could not find Type, ApplicationData in json object.", true},
    {"no PID", [](json& d) { d[AppName].erase("PID"); }, Thrown::InvalidArgument, missing("PID"),
     true},
    {"no Signal", [](json& d) { d[AppName]["Provides"][AppName + "Shm"].erase("Signal"); },
     Thrown::InvalidArgument, missing("Signal"), true},
    {"no Size", [](json& d) { symbolOf(d).erase("Size"); }, Thrown::InvalidArgument,
     missing("Size"), true},
    {"no Symbols", [](json& d) { d[AppName]["Provides"][AppName + "Shm"].erase("Symbols"); },
     Thrown::InvalidArgument,
     "createSymbolList(): Symbols were expected, but not defined in json object.", false},
    {"symbol without Type", [](json& d) { symbolOf(d).erase("Type"); }, Thrown::AttributeMissing,
     missing("Type"), true},
    {"PID as text", [](json& d) { d[AppName]["PID"] = "733"; }, Thrown::TypeError, "", false},
    {"Version as number", [](json& d) { d["Version"] = 1; }, Thrown::TypeError, "", false},
    {"Offset as null", [](json& d) { symbolOf(d)["Offset"] = nullptr; }, Thrown::TypeError, "",
     false},
    // A fraction beyond the target type cannot be converted without undefined behaviour.
    {"PID out of range", [](json& d) { d[AppName]["PID"] = 1e300; }, Thrown::InvalidArgument,
     "Value of argument PID" + OutOfRange, true},
    {"negative Size", [](json& d) { symbolOf(d)["Size"] = -1.5; }, Thrown::InvalidArgument,
     "Value of argument Size" + OutOfRange, true},
    // Integers beyond the field's type are refused, not wrapped.
    {"PID beyond int", [](json& d) { d[AppName]["PID"] = 4294967296LL + 733; },
     Thrown::InvalidArgument, "Value of argument PID" + OutOfRange, true},
    {"Signal below int",
     [](json& d) { d[AppName]["Provides"][AppName + "Shm"]["Signal"] = -2147483649LL; },
     Thrown::InvalidArgument, "Value of argument Signal" + OutOfRange, true},
    {"negative integer Offset", [](json& d) { symbolOf(d)["Offset"] = -1; },
     Thrown::InvalidArgument, "Value of argument Offset" + OutOfRange, true},
};

class SignInFailureTest : public testing::TestWithParam<FailureRow> {};

TEST_P(SignInFailureTest, ThrowsTheDocumentedExceptionWithItsTextAndLogLine) {
  const FailureRow& row = GetParam();
  json doc = json::parse(examples::ProviderSignIn);
  row.change(doc);
  SCOPED_TRACE(row.what);
  examples::expectFailure([&] { parse(doc.dump()); }, row.thrown, row.text, row.logged);
}

INSTANTIATE_TEST_SUITE_P(EveryRow, SignInFailureTest, testing::ValuesIn(Rows));

TEST(SignInReaderTest, CreateAppDataRefusesAWrongKeyOrType) {
  const json doc = json::parse(examples::ProviderSignIn);
  for (const auto& [key, text] : {std::pair<std::string, std::string>{"absent", "wrong key to access "
                                                                                  "ApplicationData object in json"},
                                  {"Type", "ApplicationData object has invalid type in json"}}) {
    examples::expectFailure([&] { ConfigurationDataFactory::createAppData(key, doc); }, Thrown::InvalidArgument,
                            "createAppData(): " + text + ": " + key, false);
  }
}

TEST(SignInValidateTest, ReturnsTheCodeOfEachKindOfFailure) {
  using ConfigurationDataFactory::validate;
  EXPECT_EQ(0, validate(examples::ProviderSignIn));
  json doc = json::parse(examples::ConsumerSignIn);
  doc.erase("Type");
  EXPECT_EQ(3, validate(doc.dump()));
  doc = json::parse(examples::ConsumerSignIn);
  doc[AppName].erase("PID");
  EXPECT_EQ(1, validate(doc.dump()));
  EXPECT_EQ(1, validate(""));
  EXPECT_EQ(1, validate("{\"Type\":"));
  doc[AppName]["PID"] = "text";
  EXPECT_THROW(validate(doc.dump()), json::type_error);
}

TEST(SignInValidateTest, MeasuresTheLimitInclusively) {
  ApplicationData app = examples::providerApp();
  const std::size_t base = examples::signIn(app).toString().size();
  app.setDescription(std::string(1024 - base, 'x'));
  const ConfigurationData atLimit = examples::signIn(app);
  ASSERT_EQ(1024u, atLimit.toString().size());
  EXPECT_EQ(0, ConfigurationDataFactory::validate(atLimit.toString()));
  EXPECT_TRUE(atLimit.isValid());
  app.setDescription(app.getDescription() + "x");
  EXPECT_EQ(2, ConfigurationDataFactory::validate(examples::signIn(app).toString()));
  EXPECT_FALSE(examples::signIn(app).isValid());
}

TEST(SignInDefaultTest, DescribesTheCallingProcess) {
  const ConfigurationData config = ConfigurationDataFactory::CreateDefaultConfiguration();
  EXPECT_EQ("ConnectToVOKConfig", config.getDataType());
  EXPECT_EQ("0.1", config.getInterfaceVersion());
  EXPECT_EQ(0, config.getSocketfd());
  // CTest starts the binary through its full path; only the file name counts.
  const ApplicationData expected("vok_messages_test", getpid(), "", "0.1", "", {}, {});
  examples::expectSameApp(expected, config.getAppData());
}

}  // namespace
