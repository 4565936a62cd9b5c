#pragma once

#include "IDdsFunctions.h"

namespace dds_bridge {

// The calls of IDdsFunctions on Cyclone DDS's C library.
class DdsWrapperCyclone : public IDdsFunctions {
 public:
  dds_entity_t _dds_create_participant(dds_domainid_t domain, const dds_qos_t* qos) override;
  dds_entity_t _dds_create_topic(dds_entity_t participant, const dds_topic_descriptor_t* type,
                                 const char* name) override;
  dds_entity_t _dds_create_writer(dds_entity_t participant, dds_entity_t topic, const dds_qos_t* qos) override;
  dds_entity_t _dds_create_reader(dds_entity_t participant, dds_entity_t topic, const dds_qos_t* qos) override;
  dds_return_t _dds_write(dds_entity_t writer, const void* sample) override;
  dds_return_t _dds_take(dds_entity_t reader, void** samples, dds_sample_info_t* infos, size_t size,
                         uint32_t max) override;
  dds_return_t _dds_return_loan(dds_entity_t reader, void** samples, int32_t count) override;
  dds_return_t _dds_delete(dds_entity_t entity) override;
};

}  // namespace dds_bridge
