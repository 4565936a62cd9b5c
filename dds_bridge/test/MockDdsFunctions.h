#pragma once

#include <gmock/gmock.h>

#include "IDdsFunctions.h"

class MockDdsFunctions : public dds_bridge::IDdsFunctions {
 public:
  MOCK_METHOD(dds_entity_t, _dds_create_participant, (dds_domainid_t, const dds_qos_t*), (override));
  MOCK_METHOD(dds_entity_t, _dds_create_topic, (dds_entity_t, const dds_topic_descriptor_t*, const char*),
              (override));
  MOCK_METHOD(dds_entity_t, _dds_create_writer, (dds_entity_t, dds_entity_t, const dds_qos_t*), (override));
  MOCK_METHOD(dds_entity_t, _dds_create_reader, (dds_entity_t, dds_entity_t, const dds_qos_t*), (override));
  MOCK_METHOD(dds_return_t, _dds_write, (dds_entity_t, const void*), (override));
  MOCK_METHOD(dds_return_t, _dds_take, (dds_entity_t, void**, dds_sample_info_t*, size_t, uint32_t), (override));
  MOCK_METHOD(dds_return_t, _dds_return_loan, (dds_entity_t, void**, int32_t), (override));
  MOCK_METHOD(dds_return_t, _dds_delete, (dds_entity_t), (override));
};
