#include "DdsWrapperCyclone.h"

namespace dds_bridge {

dds_entity_t DdsWrapperCyclone::_dds_create_participant(dds_domainid_t domain, const dds_qos_t* qos) {
  return dds_create_participant(domain, qos, nullptr);
}

dds_entity_t DdsWrapperCyclone::_dds_create_topic(dds_entity_t participant, const dds_topic_descriptor_t* type,
                                                  const char* name) {
  return dds_create_topic(participant, type, name, nullptr, nullptr);
}

dds_entity_t DdsWrapperCyclone::_dds_create_writer(dds_entity_t participant, dds_entity_t topic,
                                                   const dds_qos_t* qos) {
  return dds_create_writer(participant, topic, qos, nullptr);
}

dds_entity_t DdsWrapperCyclone::_dds_create_reader(dds_entity_t participant, dds_entity_t topic,
                                                   const dds_qos_t* qos) {
  return dds_create_reader(participant, topic, qos, nullptr);
}

dds_return_t DdsWrapperCyclone::_dds_write(dds_entity_t writer, const void* sample) {
  return dds_write(writer, sample);
}

dds_return_t DdsWrapperCyclone::_dds_take(dds_entity_t reader, void** samples, dds_sample_info_t* infos,
                                          size_t size, uint32_t max) {
  return dds_take(reader, samples, infos, size, max);
}

dds_return_t DdsWrapperCyclone::_dds_return_loan(dds_entity_t reader, void** samples, int32_t count) {
  return dds_return_loan(reader, samples, count);
}

dds_return_t DdsWrapperCyclone::_dds_delete(dds_entity_t entity) { return dds_delete(entity); }

}  // namespace dds_bridge
