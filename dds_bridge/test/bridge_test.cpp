#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "MockDdsFunctions.h"
#include "RemoteCommand.h"
#include "VOKException.h"
#include "bridgeOptions.h"
#include "bridgeTopics.h"
#include "cameraImage.h"
#include "commandArray.h"
#include "cycloneConfiguration.h"

namespace {

using namespace std::chrono_literals;
using dds_bridge::BridgeCommand;
using dds_bridge::BridgeMode;
using testing::_;
using testing::NiceMock;
using testing::Return;

constexpr dds_entity_t kParticipant = 11;
constexpr dds_entity_t kTopic = 12;
constexpr dds_entity_t kEndpoint = 13;

ChannelValues channels(std::vector<int8_t> values) {
  ChannelValues all{};
  std::copy(values.begin(), values.end(), all.begin());
  return all;
}

TEST(BridgeOptions, ReadsEveryOption) {
  const BridgeCommand command = dds_bridge::readBridgeOptions(
      {"--subscribe", "command", "--domain", "7", "--failsafe", "250", "--neutral", "3", "-s", "1",
       "--allow-unauthenticated"});
  ASSERT_EQ(command.action, BridgeCommand::Action::Run) << command.message;
  EXPECT_EQ(command.options.mode, BridgeMode::SubscribeCommand);
  EXPECT_EQ(command.options.domain, 7u);
  EXPECT_EQ(command.options.failsafe, 250ms);
  EXPECT_EQ(command.options.neutral[0], 3);
  EXPECT_EQ(command.options.serverInstance, 1u);
  EXPECT_TRUE(command.options.allowUnauthenticated);
  EXPECT_EQ(dds_bridge::readBridgeOptions({"--publish", "command"}).options.mode, BridgeMode::PublishCommand);
}

TEST(BridgeOptions, RefusesBadCommandLinesWithTheReason) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{}, "--publish or --subscribe is needed"},
      {{"--publish", "camera", "--subscribe", "command"}, "one --publish or --subscribe only"},
      {{"--publish", "video"}, "--publish takes camera or command, not \"video\""},
      {{"--subscribe", "camera"}, "--subscribe takes command, not \"camera\""},
      {{"--publish", "camera", "--domain", "233"}, "--domain takes a whole number from 0 to 232, not \"233\""},
      {{"--subscribe", "command", "--failsafe", "0"}, "--failsafe takes a whole number from 1 to 3600000, not \"0\""},
      {{"--publish", "camera", "--domain"}, "--domain needs a value"},
      {{"--publish", "camera", "--rate", "3"}, "unknown option \"--rate\""},
      {{"--publish", "command", "--allow-unauthenticated"}, "--allow-unauthenticated is for --subscribe command only"},
  };
  for (const auto& [arguments, reason] : cases) {
    const BridgeCommand command = dds_bridge::readBridgeOptions(arguments);
    EXPECT_EQ(command.action, BridgeCommand::Action::Refuse) << reason;
    EXPECT_EQ(command.message.rfind("vok_dds_bridge: " + reason + "\nusage: ", 0), 0u) << command.message;
  }
}

TEST(CameraImage, CarriesExactlyTheJpegImageOfAFrame) {
  struct Case {
    std::string frame;
    std::optional<size_t> imageBytes;
  };
  const std::vector<Case> cases = {
      {std::string("\xFF\xD8\x01\xFF\xD9\x07", 6), 5},  // bytes after the end marker are not the image's
      {std::string("\xFF\xD8\xFF\x00\xD9\xFF\xD9", 7), 7},
      {std::string("\xFF\xD8\x01\x02", 4), std::nullopt},      // no end marker
      {std::string("\x00\xD8\x01\xFF\xD9", 5), std::nullopt},  // no start marker
  };
  const builtin_interfaces_msg_dds__Time_ stamp{1700000000, 5};
  for (const Case& c : cases) {
    auto frame = std::make_unique<camera_record::UserDataStruct>();
    std::memcpy(frame->bramixmotionData, c.frame.data(), c.frame.size());
    const auto image = dds_bridge::compressedImageOf(*frame, stamp);
    ASSERT_EQ(image.has_value(), c.imageBytes.has_value()) << testing::PrintToString(c.frame);
    if (image) {
      EXPECT_STREQ(image->format, "jpeg");
      EXPECT_EQ(image->header.stamp.sec, stamp.sec);
      EXPECT_EQ(image->header.stamp.nanosec, stamp.nanosec);
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(image->data._buffer), image->data._length),
                c.frame.substr(0, *c.imageBytes));
    }
  }
}

TEST(CommandArray, SentValuesAreReadBackAndBadMessagesRefusedWithTheReason) {
  const ChannelValues sent = channels({1, 11, 15, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 13});
  const dds_bridge::CommandArray array(sent);
  ASSERT_EQ(array.sample().layout.dim._length, 1u);
  EXPECT_STREQ(array.sample().layout.dim._buffer[0].label, "channels");
  EXPECT_EQ(array.sample().layout.dim._buffer[0].size, 15u);
  EXPECT_EQ(dds_bridge::receivedCommandOf(array.sample()).values, std::optional<ChannelValues>(sent));

  struct Case {
    std::vector<int8_t> data;
    std::string refusal;
  };
  const std::vector<Case> cases = {
      {std::vector<int8_t>(14, 8), "15 values expected, not 14"},
      {std::vector<int8_t>(16, 8), "15 values expected, not 16"},
      {{8, 8, -1, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 13}, "channel 2 is -1, not 0..15"},
      {{8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 16}, "channel 14 is 16, not 0..15"},
  };
  for (Case c : cases) {
    std_msgs_msg_dds__Int8MultiArray_ message{};
    message.data._buffer = c.data.data();
    message.data._length = static_cast<uint32_t>(c.data.size());
    const dds_bridge::ReceivedCommand received = dds_bridge::receivedCommandOf(message);
    EXPECT_FALSE(received.values.has_value()) << c.refusal;
    EXPECT_EQ(received.refusal, c.refusal);
  }
}

// A failed create call names itself with Cyclone's text, and what was
// created before it is deleted again.
TEST(DdsEndpoint, FailedCreateThrowsItsNameAndLeavesNothingBehind) {
  enum Failing { Participant, Topic, Writer };
  const std::vector<std::pair<Failing, std::string>> cases = {
      {Participant, "dds_create_participant failed: "},
      {Topic, "dds_create_topic failed: "},
      {Writer, "dds_create_writer failed: "},
  };
  for (const auto& [failing, text] : cases) {
    auto dds = std::make_shared<NiceMock<MockDdsFunctions>>();
    ON_CALL(*dds, _dds_create_participant(7, _))
        .WillByDefault(Return(failing == Participant ? DDS_RETCODE_ERROR : kParticipant));
    ON_CALL(*dds, _dds_create_topic(kParticipant, _, testing::StrEq("rt/vok/command")))
        .WillByDefault(Return(failing == Topic ? DDS_RETCODE_BAD_PARAMETER : kTopic));
    ON_CALL(*dds, _dds_create_writer(kParticipant, kTopic, _))
        .WillByDefault(Return(failing == Writer ? DDS_RETCODE_OUT_OF_RESOURCES : kEndpoint));
    EXPECT_CALL(*dds, _dds_delete(kParticipant)).Times(failing == Participant ? 0 : 1);
    try {
      dds_bridge::DdsEndpoint endpoint(dds, 7, dds_bridge::commandTopic(), dds_bridge::Role::Writer);
      ADD_FAILURE() << text;
    } catch (const VOK::VOKException& e) {
      EXPECT_THAT(e.what(), testing::StartsWith(text));
      EXPECT_GT(std::strlen(e.what()), text.size()) << "Cyclone's text follows";
    }
  }
}

TEST(CycloneConfiguration, SecurityIsSeenInlineOrInNamedFilesButNotInComments) {
  const std::string configs = DDS_CONFIG_DIR;
  const std::vector<std::pair<std::string, bool>> cases = {
      {"", false},
      {dds_bridge::kLoopbackConfiguration, false},
      {"file://" + configs + "/lan.xml", false},
      {"file://" + configs + "/loopback.xml,file://" + configs + "/security.xml", true},
      {"file:///nonexistent/security.xml", false},
      {"<CycloneDDS><Domain><Security>\n<Authentication/></Security></Domain></CycloneDDS>", true},
      {"<CycloneDDS><Domain><!-- <Security> off for now --></Domain></CycloneDDS>", false},
  };
  for (const auto& [configuration, secure] : cases) {
    EXPECT_EQ(dds_bridge::configurationHasSecurity(configuration), secure) << configuration;
  }
}

// A reader whose _dds_take lends the scripted messages one at a time.
class RemoteCommandTest : public testing::Test {
 protected:
  RemoteCommandTest() : dds(std::make_shared<NiceMock<MockDdsFunctions>>()) {
    ON_CALL(*dds, _dds_create_participant(_, _)).WillByDefault(Return(kParticipant));
    ON_CALL(*dds, _dds_create_topic(_, _, _)).WillByDefault(Return(kTopic));
    ON_CALL(*dds, _dds_create_reader(_, _, _)).WillByDefault(Return(kEndpoint));
    ON_CALL(*dds, _dds_take(kEndpoint, _, _, 1, 1))
        .WillByDefault([this](dds_entity_t, void** samples, dds_sample_info_t* info, size_t, uint32_t) {
          if (arrived.empty()) {
            return 0;
          }
          info->publication_handle = arrived.front().first;
          lent = arrived.front().second;
          arrived.pop_front();
          message = {};
          message.data._buffer = lent.data();
          message.data._length = static_cast<uint32_t>(lent.size());
          samples[0] = &message;
          info->valid_data = true;
          return 1;
        });
  }

  std::shared_ptr<NiceMock<MockDdsFunctions>> dds;
  std::deque<std::pair<dds_instance_handle_t, std::vector<int8_t>>> arrived;
  std::vector<int8_t> lent;
  std_msgs_msg_dds__Int8MultiArray_ message{};
};

// Station A drives first; B's messages change nothing until A has been
// silent for the failsafe time.
TEST_F(RemoteCommandTest, OneStationHoldsTheNewestAcceptedValuesForTheFailsafeTimeThenTheNeutralOnes) {
  const std::vector<int8_t> drive{1, 11, 15, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 13};
  const std::vector<int8_t> steer{8, 2, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 13};
  const std::vector<int8_t> tooShort(14, 1);
  const std::vector<int8_t> outOfRange{1, 11, 99, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 13};
  const ChannelValues neutral = parseNeutralValues("3");
  constexpr dds_instance_handle_t a = 0xA, b = 0xB;
  struct Step {
    int atMs;
    std::vector<std::pair<dds_instance_handle_t, std::vector<int8_t>>> messages;
    ChannelValues expected;
  };
  const std::vector<Step> steps = {
      {0, {}, neutral},                   // nothing yet
      {10, {{b, tooShort}}, neutral},     // refused: no sign of life, no hold
      {20, {{a, drive}}, channels(drive)},
      {30, {{b, steer}}, channels(drive)},  // A holds
      {519, {{b, steer}}, channels(drive)},  // held just short of the failsafe time
      {520, {}, neutral},                 // 500 ms after A's last accepted one
      {530, {{a, outOfRange}}, neutral},
      {540, {{b, drive}, {b, steer}}, channels(steer)},  // B takes over; the newest of several
      {600, {{b, outOfRange}, {a, drive}}, channels(steer)},  // neither a refused one nor A changes them
  };
  dds_bridge::DdsEndpoint reader(dds, 0, dds_bridge::commandTopic(), dds_bridge::Role::Reader);
  const auto start = dds_bridge::RemoteCommand::Clock::now();
  dds_bridge::RemoteCommand remote(reader, 500ms, neutral);
  for (const Step& step : steps) {
    arrived.assign(step.messages.begin(), step.messages.end());
    EXPECT_EQ(remote.valuesAt(start + std::chrono::milliseconds(step.atMs)), step.expected) << "at " << step.atMs;
  }
}

}  // namespace
