#include "ISocketConnection.h"
#include "MockSharedMemory.h"
#include "SharedMemoryWrapperLinux.h"
#include "VOKException.h"
#include "configurationDataFactory.h"
#include "shmMapperServerOS.h"
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

std::string thrownText(const std::function<void()>& action) {
  try {
    action();
  } catch (const VOKException& e) {
    return e.what();
  }
  return "(nothing thrown)";
}

const char* const kMissingEnvironment =
    "VokConnection does not contain VokEnvironmentConfig. Please call "
    "VokConnection::getVokEnvironmentConfig() first.";

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

  void TearDown() override { ::shm_unlink(name.c_str()); }

  VokConnection connection(unsigned long long lifetimeMs) {
    EXPECT_CALL(*socket, RequestVokEnvironmentConfig(0))
        .WillRepeatedly(Return(std::make_shared<VokEnvironmentConfig>("0.1", lifetimeMs)));
    VokConnection made(config, socket, mapper);
    made.RequestVokEnvironmentConfig(0);
    return made;
  }
  VokConnection withoutEnvironment() { return VokConnection(config, socket, mapper); }

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

TEST_F(Connection, SegmentCountIsLifetimeOverCycleTimePlusThreeSpares) {
  VokConnection vok = connection(10);
  EXPECT_EQ(vok.calculateSegmentCount(1000), 13u);
  EXPECT_EQ(vok.calculateSegmentCount(3000), 6u);
  EXPECT_EQ(vok.calculateSegmentCount(10001), 3u);
}

TEST_F(Connection, SegmentCountRefusesACycleTimeOfZero) {
  config.getAppData().setDescription("feed");
  VokConnection vok = connection(10);
  EXPECT_EQ(thrownText([&] { vok.calculateSegmentCount(0); }),
            "feed: VokConnection::calculateSegmentCount, Invalid segmentLifetime");
}

TEST_F(Connection, SegmentCountAcceptsTheLargestLifetimeAndRefusesOneMore) {
  config.getAppData().setDescription("feed");
  EXPECT_EQ(connection(18446744073709550ULL).calculateSegmentCount(10000000000ULL), 1844674410u);
  EXPECT_EQ(thrownText([&] { connection(18446744073709551ULL).calculateSegmentCount(1); }),
            "feed: VokConnection::calculateSegmentCount, segmentLifeTime:18446744073709551");
  EXPECT_EQ(thrownText([&] { connection(0).calculateSegmentCount(1); }),
            "feed: VokConnection::calculateSegmentCount, segmentLifeTime:0");
}

TEST_F(Connection, SegmentCountAbove32BitsIsRefusedNamingTheCount) {
  EXPECT_EQ(thrownText([&] { connection(10000000).calculateSegmentCount(1); }),
            "Calculated segment-count from cycleTimeInMicroSeconds and segmentLifetime bigger than "
            "allowed; Maximum allowed = 4294967295Currently calculated:10000000003");
}

TEST_F(Connection, OperationsNeedingTheEnvironmentRefuseWithoutIt) {
  VokConnection vok = withoutEnvironment();
  Record data;
  EXPECT_CALL(*socket, SignIn(_)).Times(0);
  EXPECT_EQ(thrownText([&] { vok.Connect(); }), kMissingEnvironment);
  EXPECT_EQ(thrownText([&] { vok.addLifetimeBuffer(name, "d", "0.1", 0, data, 1000, sizeof(Record)); }),
            kMissingEnvironment);
  EXPECT_EQ(thrownText([&] { vok.connectToExistingShm(name, 0); }), kMissingEnvironment);
  EXPECT_EQ(objectSize(name), -1) << "nothing may be created";
}

TEST_F(Connection, RefusedBrokerLeavesNoEnvironmentAndConnectRefuses) {
  EXPECT_CALL(*socket, RequestVokEnvironmentConfig(2)).WillOnce(Return(nullptr));
  VokConnection vok = withoutEnvironment();
  vok.RequestVokEnvironmentConfig(2);
  EXPECT_EQ(vok.getVokEnvironmentConfig(), nullptr);
  EXPECT_EQ(thrownText([&] { vok.Connect(); }), kMissingEnvironment);
}

TEST_F(Connection, NullCollaboratorsAreRefusedSocketConnectionFirst) {
  EXPECT_EQ(thrownText([&] { VokConnection(config, nullptr, nullptr); }),
            "Error: VokConnection: Socket-Connection-Object must not be null");
  EXPECT_EQ(thrownText([&] { VokConnection(config, socket, nullptr); }),
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

TEST_F(Connection, ProviderRingAndConsumerMappingHaveTheSizeOfCountSegments) {
  VokConnection provider = connection(10);
  Record data;
  ConsistentDataTransfer writer =
      provider.addLifetimeBuffer(name, "values", "0.1", 4, data, 1000, sizeof(Record));
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

TEST_F(Connection, ProvideOfAnIdAlreadyAmongTheProvidesIsReplaced) {
  config.getAppData().add(Provides("old", "0.0", {Symbol("x", "int8_t", 1, 0)}, name, 1));
  VokConnection vok = connection(10);
  Record data;
  vok.addLifetimeBuffer(name, "values", "0.1", 4, data, 1000, sizeof(Record));
  const std::list<Provides>& provides = vok.getConfig().getAppData().getProvides();
  ASSERT_EQ(provides.size(), 1u);
  EXPECT_EQ(provides.front().getDescription(), "values");
  EXPECT_EQ(provides.front().getSignal(), 4);
  EXPECT_EQ(provides.front().getSymbols(), data.getSymbolList());
}

TEST_F(Connection, RingBeyondFourGibibytesIsRefusedBeforeAnythingIsCreated) {
  VokConnection vok = connection(10000);
  Record data;
  // 10 000 003 segments of 1000 bytes.
  EXPECT_THAT(thrownText([&] { vok.addLifetimeBuffer(name, "d", "0.1", 0, data, 1, 1000); }),
              HasSubstr("more than 4294967295"));
  EXPECT_EQ(objectSize(name), -1);
  EXPECT_TRUE(vok.getConfig().getAppData().getProvides().empty());
}

TEST_F(Connection, AttachingRefusesARingOfAnotherRecordSize) {
  VokConnection provider = connection(10);
  Record data;
  provider.addLifetimeBuffer(name, "d", "0.1", 0, data, 1000, sizeof(Record));
  VokConnection consumer = connection(10);
  EXPECT_THAT(thrownText([&] { consumer.connectToExistingLifetimeBuffer(name, sizeof(Record) + 8, 0); }),
              HasSubstr("segments hold"));
}

TEST_F(Connection, AttachingRefusesAHeaderLargerThanItsObjectWithoutAFault) {
  VokShm forged(name, 64, std::make_shared<SharedMemoryWrapperLinux>(), true);
  auto* header = static_cast<BufferHeader*>(forged.getShmAdr());
  header->segmentCount = 1000;
  header->segmentSize = 1000;
  header->lastValidSegment = 0;
  VokConnection consumer = connection(10);
  EXPECT_THAT(thrownText([&] { consumer.connectToExistingLifetimeBuffer(name, 1000, 0); }),
              HasSubstr("holds 64 bytes, fewer than the 1000016"));
}

TEST_F(Connection, AttachingToAMissingRingPassesTheNoSuchFileTextOn) {
  VokConnection consumer = connection(10);
  EXPECT_EQ(thrownText([&] { consumer.connectToExistingLifetimeBuffer(name, sizeof(Record), 0); }),
            std::string("Error opening a shared memory - Error-Msg: ") + std::strerror(ENOENT));
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
  VokConnection consumer = connection(10);
  const int provider = static_cast<int>(::getpid());
  EXPECT_EQ(thrownText([&] { consumer.connectToExistingLifetimeBuffer(name, sizeof(Record), provider); }),
            "Shared memory with ID: " + name + " belongs to uid 4242, neither to the user of its provider (pid " +
                std::to_string(provider) + "), this app's user nor root");
}

TEST(ConnectionCreate, TextWithoutAConfigurationThrowsNamingTheProblem) {
  const std::string prefix = "VokConnection::Create: no sign-in configuration in the given text: ";
  EXPECT_EQ(thrownText([] { VokConnection::Create(""); }), prefix + "the text is empty");
  EXPECT_EQ(thrownText([] { VokConnection::Create("{not json"); }), prefix + "the text is not JSON");
  EXPECT_THAT(thrownText([] { VokConnection::Create("{\"a\":1}"); }), testing::StartsWith(prefix));
}

TEST(ConnectionCreate, TextWithAConfigurationIsHeld) {
  ConfigurationData config = ConfigurationDataFactory::CreateDefaultConfiguration();
  config.getAppData().setApplicationName("Reader");
  VokConnection vok = VokConnection::Create(config.toString());
  EXPECT_EQ(vok.getConfig().getAppData().getApplicationName(), "Reader");
  EXPECT_EQ(vok.getVokEnvironmentConfig(), nullptr);
}

}  // namespace
}  // namespace VOK
