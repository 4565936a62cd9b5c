#include "ISocketConnection.h"
#include "MockSharedMemory.h"
#include "SharedMemoryWrapperLinux.h"
#include "VOKException.h"
#include "configurationDataFactory.h"
#include "shmMapperServerOS.h"
#include "thrownText.h"
#include "vokConnection.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace VOK {
namespace {

using ::testing::_;
using ::testing::HasSubstr;
using ::testing::NiceMock;
using ::testing::Return;

class MockSocketConnection : public ISocketConnection {
 public:
  MOCK_METHOD(void, Connect, (unsigned), (override));
  MOCK_METHOD(bool, IsConnected, (), (const, override));
  MOCK_METHOD(void, Disconnect, (), (override));
  MOCK_METHOD(void, SignIn, (const ConfigurationData&), (override));
  MOCK_METHOD(bool, IsSignedIn, (), (const, override));
  MOCK_METHOD(void, SignOut, (), (override));
  MOCK_METHOD(std::shared_ptr<VokEnvironmentConfig>, RequestVokEnvironmentConfig, (unsigned),
              (override));
  MOCK_METHOD(const ResponseData*, getResponseData, (), (const, override));
  MOCK_METHOD(void, BusyWaitForVokResponse, (const ConfigurationData&), (override));
};

struct Record : IVOKBaseDataStruct {
  int32_t values[5] = {};
  std::list<Symbol> getSymbolList() const override { return {Symbol("values", "int32_t", 20, 8)}; }
};

// A connection over a substitute socket connection and real shared memory,
// with the environment configuration (segment lifetime in ms) already fetched.
class Connection : public ::testing::Test {
 protected:
  std::shared_ptr<NiceMock<MockSocketConnection>> socket =
      std::make_shared<NiceMock<MockSocketConnection>>();
  std::shared_ptr<IShmMapper> mapper =
      std::make_shared<ShmMapperServerOS>(std::make_shared<SharedMemoryWrapperLinux>());
  ConfigurationData config = ConfigurationDataFactory::CreateDefaultConfiguration();
  std::string name = "/vok_connection_test_" + std::to_string(::getpid());
  Record data;

  void TearDown() override { ::shm_unlink(name.c_str()); }

  VokConnection connection(unsigned long long lifetimeMs) {
    EXPECT_CALL(*socket, RequestVokEnvironmentConfig(0))
        .WillRepeatedly(Return(std::make_shared<VokEnvironmentConfig>("0.1", lifetimeMs)));
    VokConnection made(config, socket, mapper);
    made.RequestVokEnvironmentConfig(0);
    return made;
  }
  ConsistentDataTransfer provide(VokConnection& provider) {
    return provider.addLifetimeBuffer(name, "values", "0.1", 4, data, 1000, sizeof(Record));
  }
  std::string attachFailure(size_t recordSize, int providerPid = 0) {
    return thrownText<VOKException>(
        [&] { connection(10).connectToExistingLifetimeBuffer(name, recordSize, providerPid); });
  }

  static off_t objectSize(const std::string& shmName) {
    const int fd = ::shm_open(shmName.c_str(), O_RDONLY, 0);
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0) {
      return -1;
    }
    ::close(fd);
    return status.st_size;
  }
};

TEST_F(Connection, SegmentCountIsLifetimeOverCycleTimePlusThreeSparesWithinItsLimits) {
  config.getAppData().setDescription("feed");
  const std::string refused = "feed: VokConnection::calculateSegmentCount, ";
  const struct {
    unsigned long long lifetimeMs, cycleUs;
    std::string expected;  // the count, or the text thrown
  } cases[] = {
      {10, 1000, "13"},
      {10, 3000, "6"},
      {10, 10001, "3"},
      {18446744073709550ULL, 10000000000ULL, "1844674410"},
      {10, 0, refused + "Invalid segmentLifetime"},
      {18446744073709551ULL, 1, refused + "segmentLifeTime:18446744073709551"},
      {0, 1, refused + "segmentLifeTime:0"},
      {10000000, 1,
       "Calculated segment-count from cycleTimeInMicroSeconds and segmentLifetime bigger than "
       "allowed; Maximum allowed = 4294967295Currently calculated:10000000003"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    std::string count;
    const std::string thrown = thrownText<VOKException>(
        [&] { count = std::to_string(connection(c.lifetimeMs).calculateSegmentCount(c.cycleUs)); });
    EXPECT_EQ(count.empty() ? thrown : count, c.expected);
  }
}

TEST_F(Connection, WithoutAnEnvironmentFromTheBrokerEveryOperationNeedingItRefuses) {
  EXPECT_CALL(*socket, RequestVokEnvironmentConfig(2)).WillOnce(Return(nullptr));
  EXPECT_CALL(*socket, SignIn(_)).Times(0);
  VokConnection vok(config, socket, mapper);
  EXPECT_EQ(vok.getVokEnvironmentConfig(), nullptr);
  vok.RequestVokEnvironmentConfig(2);
  EXPECT_EQ(vok.getVokEnvironmentConfig(), nullptr);
  const std::function<void()> actions[] = {
      [&] { vok.Connect(); },
      [&] { vok.addLifetimeBuffer(name, "d", "0.1", 0, data, 1000, sizeof(Record)); },
      [&] { vok.connectToExistingShm(name, 0); },
  };
  for (const auto& action : actions) {
    EXPECT_EQ(thrownText<VOKException>(action),
              "VokConnection does not contain VokEnvironmentConfig. Please call "
              "VokConnection::getVokEnvironmentConfig() first.");
  }
  EXPECT_EQ(objectSize(name), -1) << "nothing may be created";
}

TEST_F(Connection, NullCollaboratorsAreRefusedSocketConnectionFirst) {
  EXPECT_EQ(thrownText<VOKException>([&] { VokConnection(config, nullptr, nullptr); }),
            "Error: VokConnection: Socket-Connection-Object must not be null");
  EXPECT_EQ(thrownText<VOKException>([&] { VokConnection(config, socket, nullptr); }),
            "Error: VokConnection: Shared-Memory-Mapper-Object must not be null");
}

TEST_F(Connection, ConnectSignsInWithTheRequestsAddedBefore) {
  VokConnection vok = connection(10);
  vok.addRequest(Requests("wish", "0.1", {Symbol("values", "int32_t", 20, 0)}, "Provider"));
  EXPECT_CALL(*socket, SignIn(_)).WillOnce([](const ConfigurationData& sent) {
    ASSERT_EQ(sent.getAppData().getRequests().size(), 1u);
    EXPECT_EQ(sent.getAppData().getRequests().front().getAppName(), "Provider");
  });
  EXPECT_CALL(*socket, IsSignedIn()).WillOnce(Return(true));
  vok.Connect();
  EXPECT_TRUE(vok.IsConnected());
}

TEST_F(Connection, ProviderRingReplacesAProvideOfItsIdAndBothMappingsHaveTheSizeOfCountSegments) {
  config.getAppData().add(Provides("old", "0.0", {Symbol("x", "int8_t", 1, 0)}, name, 1));
  VokConnection provider = connection(10);
  ConsistentDataTransfer writer = provide(provider);
  const std::list<Provides>& provides = provider.getConfig().getAppData().getProvides();
  ASSERT_EQ(provides.size(), 1u);
  EXPECT_EQ(provides.front().getDescription(), "values");
  EXPECT_EQ(provides.front().getSignal(), 4);
  EXPECT_EQ(provides.front().getSymbols(), data.getSymbolList());
  ASSERT_EQ(provider.getSegmentCount(), 13u);
  EXPECT_EQ(objectSize(name), static_cast<off_t>(16 + 13 * sizeof(Record)));
  data.values[4] = 77;
  writer.writeUserData(&data);

  VokConnection consumer = connection(10);
  ConsistentDataTransfer reader = consumer.connectToExistingLifetimeBuffer(name, sizeof(Record), 0);
  Record received;
  ASSERT_TRUE(reader.readUserData(&received));
  EXPECT_EQ(received.values[4], 77);
  const auto* header = static_cast<const BufferHeader*>(consumer.connectToExistingShm(name, 0));
  EXPECT_EQ(header->segmentCount, 13u);
  EXPECT_EQ(header->segmentSize, sizeof(Record));
}

TEST_F(Connection, RingBeyondFourGibibytesIsRefusedBeforeAnythingIsCreated) {
  VokConnection vok = connection(10000);
  // 10 000 003 segments of 1000 bytes.
  EXPECT_THAT(thrownText<VOKException>([&] { vok.addLifetimeBuffer(name, "d", "0.1", 0, data, 1, 1000); }),
              HasSubstr("more than 4294967295"));
  EXPECT_EQ(objectSize(name), -1);
  EXPECT_TRUE(vok.getConfig().getAppData().getProvides().empty());
}

TEST_F(Connection, AttachingRefusesAMissingRingAndOneOfAnotherRecordSize) {
  EXPECT_EQ(attachFailure(sizeof(Record)),
            std::string("Error opening a shared memory - Error-Msg: ") + std::strerror(ENOENT));
  VokConnection provider = connection(10);
  provide(provider);
  EXPECT_THAT(attachFailure(sizeof(Record) + 8), HasSubstr("segments hold"));
}

TEST_F(Connection, AttachingRefusesAHeaderLargerThanItsObjectWithoutAFault) {
  VokShm forged(name, 64, std::make_shared<SharedMemoryWrapperLinux>(), true);
  auto* header = static_cast<BufferHeader*>(forged.getShmAdr());
  header->segmentCount = 1000;
  header->segmentSize = 1000;
  header->lastValidSegment = 0;
  EXPECT_THAT(attachFailure(1000), HasSubstr("holds 64 bytes, fewer than the 1000016"));
}

TEST_F(Connection, AttachingRefusesARingOfAUserOtherThanTheProvidersOwnOrRoot) {
  auto memory = std::make_shared<NiceMock<MockSharedMemory>>();
  std::vector<unsigned char> object(64);
  ON_CALL(*memory, _shm_open(_, O_RDONLY, _)).WillByDefault(Return(5));
  ON_CALL(*memory, _fstat(5, _)).WillByDefault([](int, struct stat* status) {
    status->st_size = 64;
    status->st_uid = 4242;
    return 0;
  });
  ON_CALL(*memory, _mmap(_, _, _, _, 5, _)).WillByDefault(Return(object.data()));
  mapper = std::make_shared<ShmMapperServerOS>(memory);
  const int provider = static_cast<int>(::getpid());
  EXPECT_EQ(attachFailure(sizeof(Record), provider),
            "Shared memory with ID: " + name + " belongs to uid 4242, neither to the user of its provider (pid " +
                std::to_string(provider) + "), this app's user nor root");
}

TEST(ConnectionCreate, HoldsTheConfigurationOfTheTextOrThrowsNamingWhatIsWrong) {
  const std::string prefix = "VokConnection::Create: no sign-in configuration in the given text: ";
  EXPECT_EQ(thrownText<VOKException>([] { VokConnection::Create(""); }), prefix + "the text is empty");
  EXPECT_EQ(thrownText<VOKException>([] { VokConnection::Create("{not json"); }), prefix + "the text is not JSON");
  EXPECT_THAT(thrownText<VOKException>([] { VokConnection::Create("{\"a\":1}"); }), testing::StartsWith(prefix));

  ConfigurationData config = ConfigurationDataFactory::CreateDefaultConfiguration();
  config.getAppData().setApplicationName("Reader");
  VokConnection vok = VokConnection::Create(config.toString());
  EXPECT_EQ(vok.getConfig().getAppData().getApplicationName(), "Reader");
  EXPECT_EQ(vok.getVokEnvironmentConfig(), nullptr);
}

}  // namespace
}  // namespace VOK
