// The far end of the DDS tests, a station of its own on Cyclone's C API:
//   dds_probe DOMAIN camera COUNT SECONDS   prints COUNT camera samples
//   dds_probe DOMAIN command COUNT SECONDS  prints COUNT command samples
//   dds_probe DOMAIN send V,... SECONDS     publishes the 15 values every 20 ms
// Exits 0 when done, 1 when the samples did not come within SECONDS, 2 for
// a bad command line.
#include <dds/dds.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "RosMessages.h"

namespace {

using Clock = std::chrono::steady_clock;

dds_entity_t endpointOn(dds_entity_t participant, const dds_topic_descriptor_t* type, const char* name,
                        bool reliable, bool writer) {
  const dds_entity_t topic = dds_create_topic(participant, type, name, nullptr, nullptr);
  dds_qos_t* qos = dds_create_qos();
  dds_qset_history(qos, DDS_HISTORY_KEEP_LAST, 1);
  dds_qset_reliability(qos, reliable ? DDS_RELIABILITY_RELIABLE : DDS_RELIABILITY_BEST_EFFORT, DDS_SECS(1));
  const dds_entity_t endpoint = writer ? dds_create_writer(participant, topic, qos, nullptr)
                                       : dds_create_reader(participant, topic, qos, nullptr);
  dds_delete_qos(qos);
  if (topic < 0 || endpoint < 0) {
    std::fprintf(stderr, "dds_probe: %s: %s\n", name, dds_strretcode(topic < 0 ? topic : endpoint));
    std::exit(1);
  }
  return endpoint;
}

uint64_t fnv1a(const uint8_t* bytes, uint32_t length) {
  uint64_t hash = 14695981039346656037ull;
  for (uint32_t i = 0; i < length; ++i) {
    hash = (hash ^ bytes[i]) * 1099511628211ull;
  }
  return hash;
}

std::string imageLine(const sensor_msgs_msg_dds__CompressedImage_& image) {
  const uint8_t* data = image.data._buffer;
  const uint32_t n = image.data._length;
  const bool jpeg = n >= 4 && data[0] == 0xFF && data[1] == 0xD8 && data[n - 2] == 0xFF && data[n - 1] == 0xD9;
  char line[256];
  std::snprintf(line, sizeof(line), "image format=%s bytes=%u jpeg=%s digest=%016llx stamp=%d.%09u",
                image.format, n, jpeg ? "yes" : "no", static_cast<unsigned long long>(fnv1a(data, n)),
                image.header.stamp.sec, image.header.stamp.nanosec);
  return line;
}

std::string commandLine(const std_msgs_msg_dds__Int8MultiArray_& command) {
  std::string line = "command ";
  for (uint32_t i = 0; i < command.data._length; ++i) {
    line += (i ? "," : "") + std::to_string(command.data._buffer[i]);
  }
  return line;
}

template <typename Sample>
int printSamples(dds_entity_t reader, long count, Clock::time_point deadline, std::string (*line)(const Sample&)) {
  while (count > 0 && Clock::now() < deadline) {
    void* samples[1] = {nullptr};
    dds_sample_info_t info;
    const dds_return_t taken = dds_take(reader, samples, &info, 1, 1);
    if (taken > 0 && info.valid_data) {
      std::printf("%s\n", line(*static_cast<const Sample*>(samples[0])).c_str());
      std::fflush(stdout);
      --count;
    }
    if (taken > 0) {
      dds_return_loan(reader, samples, taken);
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  return count == 0 ? 0 : 1;
}

int send(dds_entity_t writer, const std::string& text, Clock::time_point deadline) {
  std::vector<int8_t> values;
  std::istringstream items(text);
  for (std::string item; std::getline(items, item, ',');) {
    values.push_back(static_cast<int8_t>(std::stoi(item)));
  }
  std_msgs_msg_dds__Int8MultiArray_ command{};
  command.data._buffer = values.data();
  command.data._length = command.data._maximum = static_cast<uint32_t>(values.size());
  while (Clock::now() < deadline) {
    dds_write(writer, &command);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fputs("usage: dds_probe DOMAIN camera|command COUNT SECONDS | DOMAIN send V,... SECONDS\n", stderr);
    return 2;
  }
  const std::string what = argv[2];
  const auto deadline = Clock::now() + std::chrono::seconds(std::atol(argv[4]));
  const dds_entity_t participant = dds_create_participant(static_cast<dds_domainid_t>(std::atoi(argv[1])), nullptr, nullptr);
  if (participant < 0) {
    std::fprintf(stderr, "dds_probe: %s\n", dds_strretcode(participant));
    return 1;
  }
  int status = 2;
  if (what == "camera") {
    const dds_entity_t reader = endpointOn(participant, &sensor_msgs_msg_dds__CompressedImage__desc,
                                           "rt/vok/camera/compressed", false, false);
    status = printSamples<sensor_msgs_msg_dds__CompressedImage_>(reader, std::atol(argv[3]), deadline, imageLine);
  } else if (what == "command") {
    const dds_entity_t reader =
        endpointOn(participant, &std_msgs_msg_dds__Int8MultiArray__desc, "rt/vok/command", true, false);
    status = printSamples<std_msgs_msg_dds__Int8MultiArray_>(reader, std::atol(argv[3]), deadline, commandLine);
  } else if (what == "send") {
    const dds_entity_t writer =
        endpointOn(participant, &std_msgs_msg_dds__Int8MultiArray__desc, "rt/vok/command", true, true);
    status = send(writer, argv[3], deadline);
  }
  dds_delete(participant);
  return status;
}
