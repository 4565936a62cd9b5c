#pragma once

#include <dds/dds.h>

namespace dds_bridge {

// The Cyclone DDS calls the bridge makes, each forwarded unchanged by
// DdsWrapperCyclone, so that tests can make any of them fail. Negative
// results are Cyclone's return codes (dds_strretcode gives their text).
class IDdsFunctions {
 public:
  virtual ~IDdsFunctions() = default;
  virtual dds_entity_t _dds_create_participant(dds_domainid_t domain, const dds_qos_t* qos) = 0;
  virtual dds_entity_t _dds_create_topic(dds_entity_t participant, const dds_topic_descriptor_t* type,
                                         const char* name) = 0;
  virtual dds_entity_t _dds_create_writer(dds_entity_t participant, dds_entity_t topic, const dds_qos_t* qos) = 0;
  virtual dds_entity_t _dds_create_reader(dds_entity_t participant, dds_entity_t topic, const dds_qos_t* qos) = 0;
  virtual dds_return_t _dds_write(dds_entity_t writer, const void* sample) = 0;
  // With samples[0] null, Cyclone lends the sample; _dds_return_loan gives it back.
  virtual dds_return_t _dds_take(dds_entity_t reader, void** samples, dds_sample_info_t* infos, size_t size,
                                 uint32_t max) = 0;
  virtual dds_return_t _dds_return_loan(dds_entity_t reader, void** samples, int32_t count) = 0;
  virtual dds_return_t _dds_delete(dds_entity_t entity) = 0;
};

}  // namespace dds_bridge
