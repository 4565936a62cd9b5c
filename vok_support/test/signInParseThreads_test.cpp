// The sign-in reader under threads: one parse at a time, and its lock free
// again however a parse ended.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "configurationDataFactoryJson.h"
#include "messageExamples.h"

namespace {

using ConfigurationDataFactory::CreateConfigurationFromString;
using ConfigurationDataFactory::json;
using examples::AppName;

// The lock must be free again however the parse ended; another thread proves it.
TEST(SignInReaderTest, ParseMutexIsFreeAfterEveryKindOfFailedParse) {
  json missingApp = json::parse(examples::ProviderSignIn);
  missingApp.erase(AppName);
  json typeError = json::parse(examples::ProviderSignIn);
  typeError["Type"] = 1;
  for (const std::string& text : {std::string("{"), missingApp.dump(), typeError.dump()}) {
    try {
      CreateConfigurationFromString(text, 0);
    } catch (...) {
    }
    bool lockable = false;
    std::thread([&lockable] {
      lockable = ConfigurationDataFactory::mx.try_lock();
      if (lockable) {
        ConfigurationDataFactory::mx.unlock();
      }
    }).join();
    EXPECT_TRUE(lockable) << text;
    std::unique_ptr<ConfigurationData> other;
    std::thread([&other] { other = CreateConfigurationFromString(examples::ConsumerSignIn, 0); }).join();
    EXPECT_TRUE(other) << text;
  }
}

TEST(SignInReaderTest, ParsesFromSeveralThreadsAtOnce) {
  std::vector<std::thread> threads;
  std::atomic<int> parsed{0};
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&parsed] {
      for (int i = 0; i < 50; ++i) {
        parsed += CreateConfigurationFromString(i % 2 ? examples::ProviderSignIn : examples::ConsumerSignIn, 0) ? 1 : 0;
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(200, parsed.load());
}

}  // namespace
