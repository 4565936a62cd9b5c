#include "matchMaker.h"

#include "VOKException.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using VOK::MatchMaker;

namespace {

Provides block(const std::string& shm) {
  return Provides("", "0.1", {Symbol("value", "int8_t", 1, 0)}, shm, 10);
}

Requests wish(const std::string& provider) {
  return Requests("", "0.1", {Symbol("value", "int8_t", 1, 0)}, provider);
}

ApplicationData app(const std::string& name, std::list<Provides> provides, std::list<Requests> requests) {
  return ApplicationData(name, 100, "", "0.1", "", std::move(provides), std::move(requests));
}

// Signed-in apps, owned by the fixture.
class SignedIn : public ::testing::Test {
 protected:
  ConfigurationData* add(ApplicationData data) {
    list.push_back(std::make_unique<ConfigurationData>("ConnectToVOKConfig", "0.1", std::move(data), 5));
    return list.back().get();
  }
  std::vector<std::string> providersOf(ConfigurationData* requester) {
    ::testing::internal::CaptureStdout();
    std::vector<std::string> names;
    for (const auto& info : MatchMaker::findDataProviderInfo(list, *requester)) {
      names.push_back(info.getApplicationData().getApplicationName());
    }
    logged = ::testing::internal::GetCapturedStdout();
    return names;
  }
  AppList list;
  std::string logged;
};

TEST_F(SignedIn, ProvidersComeInSignInOrderAndOnlyByExactName) {
  add(app("B", {block("BShm")}, {}));
  add(app("a", {block("aShm")}, {}));
  add(app("A", {block("AShm")}, {}));
  ConfigurationData* consumer = add(app("C", {}, {wish("A"), wish("B"), wish("Missing")}));
  EXPECT_EQ((std::vector<std::string>{"B", "A"}), providersOf(consumer));
  EXPECT_EQ("", logged);
  ConfigurationData* provider = add(app("P", {block("PShm")}, {}));
  EXPECT_TRUE(providersOf(provider).empty()) << "an app without requests gets nothing";
  EXPECT_EQ("", logged);
  ConfigurationData* self = add(app("Self", {block("SelfShm")}, {wish("Self")}));
  EXPECT_EQ((std::vector<std::string>{"Self"}), providersOf(self)) << "an app requesting its own name";
}

TEST_F(SignedIn, TwoProvidersOfOneNameAreADuplicate) {
  add(app("P", {block("one")}, {}));
  add(app("P", {block("two")}, {}));
  ConfigurationData* consumer = add(app("C", {}, {wish("P")}));
  ::testing::internal::CaptureStdout();
  try {
    MatchMaker::findDataProviderInfo(list, *consumer);
    FAIL();
  } catch (const VOK::VOKException& e) {
    EXPECT_STREQ("Provide is duplicated", e.what());
  }
  EXPECT_EQ("ERR: (Apps/VOK_App/src/matchMaker): Provide is duplicated\n", ::testing::internal::GetCapturedStdout());
}

TEST(MatchRequestsToProvides, TwoRequestsOfOneCandidateContributeTwice) {
  ApplicationData candidate = app("P", {block("PShm")}, {});
  std::list<Requests> requests{wish("P"), wish("P")};
  ApplicationData requester("C", 1, "", "", "", {}, requests);
  EXPECT_EQ(2u, MatchMaker::matchRequestsToProvides(requester, candidate).size());
}

}  // namespace
