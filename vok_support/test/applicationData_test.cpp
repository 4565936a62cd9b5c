#include <gtest/gtest.h>

#include "ApplicationData.h"

namespace {

Provides provide(const std::string& shmID, const std::string& description = "d",
                 std::list<Symbol> symbols = {Symbol("a", "int8_t", 1, 0)}) {
  return Provides(description, "1", std::move(symbols), shmID, 3);
}

Requests request(const std::string& appName, const std::string& description = "d") {
  return Requests(description, "1", {Symbol("a", "int8_t", 1, 0)}, appName);
}

ApplicationData app(std::list<Provides> provides = {}, std::list<Requests> requests = {}) {
  return ApplicationData("app", 5, "desc", "0.1", "maker", std::move(provides),
                         std::move(requests));
}

std::list<std::string> shmIDs(const ApplicationData& data) {
  std::list<std::string> ids;
  for (const Provides& p : data.getProvides()) {
    ids.push_back(p.getShmID() + "/" + p.getDescription());
  }
  return ids;
}

TEST(ApplicationDataTest, AddingTwiceKeepsBothAndTryRemoveTakesThemAllOnce) {
  ApplicationData data = app();
  data.add(provide("shm"));
  data.add(provide("shm"));
  EXPECT_EQ(2u, data.getProvides().size());
  EXPECT_TRUE(data.tryRemoveProvide(std::string("shm")));
  EXPECT_TRUE(data.getProvides().empty());
  EXPECT_FALSE(data.tryRemoveProvide(std::string("shm")));
}

TEST(ApplicationDataTest, RemoveTakesEveryElementOfTheKeyWhateverItsContentAndKeepsOrder) {
  ApplicationData data = app({provide("x", "1"), provide("shm", "first"), provide("y", "2"),
                              provide("shm", "other", {Symbol("b", "int", 4, 8)})});
  data.remove(provide("shm", "unrelated", {}));
  EXPECT_EQ((std::list<std::string>{"x/1", "y/2"}), shmIDs(data));
  data.remove(provide("absent"));
  EXPECT_EQ(2u, data.getProvides().size());
}

// Run under the sanitizer build: the argument is destroyed by the removal itself.
TEST(ApplicationDataTest, RemovingThroughAnElementOfTheListItselfRemovesAllOfItsKey) {
  ApplicationData data = app({}, {request("b", "kept"), request("a", "one"), request("a", "two"),
                                  request("c", "kept")});
  const Requests& element = *std::next(data.getRequests().begin());
  EXPECT_TRUE(data.tryRemoveRequest(element));
  ASSERT_EQ(2u, data.getRequests().size());
  EXPECT_EQ("b", data.getRequests().front().getAppName());
  EXPECT_EQ("c", data.getRequests().back().getAppName());

  ApplicationData provider = app({provide("p", "1"), provide("q"), provide("p", "2")});
  provider.remove(provider.getProvides().back());
  EXPECT_EQ((std::list<std::string>{"q/d"}), shmIDs(provider));
  provider.add(provide("p"));
  EXPECT_TRUE(provider.tryRemoveProvide(provider.getProvides().back()));
  EXPECT_EQ((std::list<std::string>{"q/d"}), shmIDs(provider));
}

TEST(ApplicationDataTest, TryRemoveRequestByNameReportsWhetherSomethingMatched) {
  ApplicationData data = app({}, {request("a"), request("b"), request("a")});
  EXPECT_FALSE(data.tryRemoveRequest(std::string("z")));
  EXPECT_FALSE(data.tryRemoveRequest(request("z")));
  EXPECT_EQ(3u, data.getRequests().size());
  EXPECT_TRUE(data.tryRemoveRequest(std::string("a")));
  ASSERT_EQ(1u, data.getRequests().size());
  EXPECT_EQ("b", data.getRequests().front().getAppName());
}

TEST(ApplicationDataTest, EqualityIgnoresProvideOrderButNotIdentityFields) {
  ApplicationData one = app({provide("a"), provide("b")});
  ApplicationData other = app({provide("b", "different"), provide("a")});
  EXPECT_TRUE(one == other);
  other.setPid(6);
  EXPECT_FALSE(one == other);
  EXPECT_FALSE(app({provide("a"), provide("a")}) == app({provide("a"), provide("b")}));
  EXPECT_FALSE(app({provide("a")}) == app({provide("a"), provide("b")}));
}

TEST(ApplicationDataTest, EqualityFindsEveryRequestOfTheOtherSideByAppName) {
  EXPECT_TRUE(app({}, {request("a"), request("b")}) == app({}, {request("b"), request("a")}));
  EXPECT_FALSE(app({}, {request("a"), request("a")}) == app({}, {request("a"), request("b")}));
  EXPECT_FALSE(app({}, {request("a")}) == app({}, {}));
}

TEST(ModelIdentityTest, ProvidesAndRequestsCompareByKeyAlone) {
  EXPECT_TRUE(provide("shm", "one") == provide("shm", "two", {}));
  EXPECT_FALSE(provide("shm") == provide("shm2"));
  EXPECT_TRUE(provide("shm") == std::string("shm"));
  EXPECT_FALSE(provide("shm") == std::string("sh"));
  EXPECT_TRUE(request("a", "one") == request("a", "two"));
  EXPECT_TRUE(request("a") == std::string("a"));
  EXPECT_FALSE(request("a") == std::string("A"));
}

TEST(ModelIdentityTest, SymbolEqualityComparesAllFourFields) {
  const Symbol symbol("n", "t", 1, 2);
  EXPECT_TRUE(symbol == symbol);
  EXPECT_TRUE(symbol == Symbol("n", "t", 1, 2));
  EXPECT_FALSE(symbol == Symbol("m", "t", 1, 2));
  EXPECT_FALSE(symbol == Symbol("n", "u", 1, 2));
  EXPECT_FALSE(symbol == Symbol("n", "t", 3, 2));
  EXPECT_FALSE(symbol == Symbol("n", "t", 1, 3));
}

TEST(ModelIdentityTest, ProvideMatchesRequestOnlyWithTheSameLayout) {
  const std::list<Symbol> symbols = {Symbol("a", "int8_t", 1, 0), Symbol("b", "int8_t", 2, 1)};
  const Provides offer("d", "1", symbols, "name", 0);
  EXPECT_TRUE(offer == Requests("d", "1", symbols, "name"));
  EXPECT_FALSE(offer == Requests("x", "1", symbols, "name"));
  EXPECT_FALSE(offer == Requests("d", "2", symbols, "name"));
  EXPECT_FALSE(offer == Requests("d", "1", symbols, "other"));
  EXPECT_FALSE(offer == Requests("d", "1", {symbols.front()}, "name"));
  EXPECT_FALSE(offer == Requests("d", "1",
                                 {Symbol("a", "int8_t", 1, 0), Symbol("b", "int8_t", 2, 2)},
                                 "name"));
  EXPECT_TRUE(Provides("d", "1", {}, "name", 0) == Requests("d", "1", {}, "name"));
}

}  // namespace
