#include "DdsEndpoint.h"

#include <stdexcept>

#include "VOKException.h"
#include "log_datalayer.h"

namespace dds_bridge {

namespace {

const char component[] = "dds_bridge/src/DdsEndpoint";

// Keep-last depth with the topic's reliability; owned for one create call.
struct TopicQos {
  TopicQos(Delivery delivery, int32_t depth) : qos(dds_create_qos()) {
    dds_qset_history(qos, DDS_HISTORY_KEEP_LAST, depth);
    dds_qset_reliability(qos, delivery == Delivery::Reliable ? DDS_RELIABILITY_RELIABLE : DDS_RELIABILITY_BEST_EFFORT,
                         DDS_MSECS(100));
  }
  ~TopicQos() { dds_delete_qos(qos); }
  TopicQos(const TopicQos&) = delete;
  TopicQos& operator=(const TopicQos&) = delete;
  dds_qos_t* qos;
};

}  // namespace

DdsEndpoint::DdsEndpoint(std::shared_ptr<IDdsFunctions> functions, uint32_t domain, const TopicSpec& topic,
                         Role role)
    : functions(std::move(functions)) {
  if (!this->functions) {
    throw std::invalid_argument("DdsEndpoint: DDS functions must not be null");
  }
  participant = created(this->functions->_dds_create_participant(domain, nullptr), "dds_create_participant");
  try {
    const dds_entity_t topicEntity =
        created(this->functions->_dds_create_topic(participant, topic.type, topic.name.c_str()), "dds_create_topic");
    const TopicQos qos(topic.delivery, role == Role::Reader ? topic.readerDepth : 1);
    endpoint = role == Role::Writer
                   ? created(this->functions->_dds_create_writer(participant, topicEntity, qos.qos), "dds_create_writer")
                   : created(this->functions->_dds_create_reader(participant, topicEntity, qos.qos), "dds_create_reader");
  } catch (...) {
    this->functions->_dds_delete(participant);
    throw;
  }
}

DdsEndpoint::~DdsEndpoint() { functions->_dds_delete(participant); }

void DdsEndpoint::write(const void* sample) { check(functions->_dds_write(endpoint, sample), "dds_write"); }

bool DdsEndpoint::takeArrived(const std::function<void(const void* sample, dds_instance_handle_t writer)>& use) {
  bool delivered = false;
  for (;;) {
    void* samples[1] = {nullptr};
    dds_sample_info_t info;
    const dds_return_t taken = functions->_dds_take(endpoint, samples, &info, 1, 1);
    check(taken, "dds_take");
    if (taken == 0) {
      return delivered;
    }
    if (info.valid_data) {
      use(samples[0], info.publication_handle);
      delivered = true;
    }
    check(functions->_dds_return_loan(endpoint, samples, taken), "dds_return_loan");
  }
}

dds_entity_t DdsEndpoint::created(dds_entity_t result, const char* call) {
  check(result, call);
  return result;
}

void DdsEndpoint::check(dds_return_t result, const char* call) const {
  if (result < 0) {
    const std::string text = std::string(call) + " failed: " + dds_strretcode(result);
    log(LOG_ERROR, component, text);
    throw VOK::VOKException(text);
  }
}

}  // namespace dds_bridge
