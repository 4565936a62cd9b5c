#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "IDdsFunctions.h"

namespace dds_bridge {

// How a topic's samples travel; writers keep only the newest sample, so a
// slow reader gets the latest value rather than a backlog.
enum class Delivery { BestEffort, Reliable };

// One topic of the bridge: its type, its name, how it is delivered and how
// many samples a reader keeps between two takes, over all writers (the
// topic has no key, so every writer's samples share one history).
struct TopicSpec {
  const dds_topic_descriptor_t* type;
  std::string name;
  Delivery delivery;
  int32_t readerDepth = 1;
};

enum class Role { Writer, Reader };

// The bridge's one DDS endpoint: a participant in a domain with one topic
// and one writer or reader on it. The destructor deletes the participant
// and with it everything below it.
class DdsEndpoint {
 public:
  // Creates participant, topic and the writer or reader. Throws
  // std::invalid_argument for null functions; VOKException naming the call
  // and Cyclone's text when one fails (logged as an error first); what was
  // created by then is deleted again.
  DdsEndpoint(std::shared_ptr<IDdsFunctions> functions, uint32_t domain, const TopicSpec& topic, Role role);
  ~DdsEndpoint();
  DdsEndpoint(const DdsEndpoint&) = delete;
  DdsEndpoint& operator=(const DdsEndpoint&) = delete;

  // Writer: publishes sample, a value of the topic's type. Throws VOKException
  // when Cyclone refuses it.
  void write(const void* sample);
  // Reader: hands every sample that arrived since the last call to use with
  // the handle of the writer that sent it, oldest first (valid only during
  // the call; keep-last 1 leaves one per writer); whether there was any.
  // Notices without data (a writer that went away) are taken and skipped.
  // Throws VOKException on failure.
  bool takeArrived(const std::function<void(const void* sample, dds_instance_handle_t writer)>& use);

 private:
  dds_entity_t created(dds_entity_t result, const char* call);
  void check(dds_return_t result, const char* call) const;

  std::shared_ptr<IDdsFunctions> functions;
  dds_entity_t participant = 0;
  dds_entity_t endpoint = 0;
};

}  // namespace dds_bridge
