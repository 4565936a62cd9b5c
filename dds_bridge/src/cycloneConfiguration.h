#pragma once

#include <string>

namespace dds_bridge {

// Cyclone DDS's configuration as the bridge reads it: the value of
// CYCLONEDDS_URI, inline XML and file:// URIs separated by commas.

// This machine only: the loopback interface, no multicast, peers found by
// unicast at 127.0.0.1 (as config/loopback.xml), as inline XML.
extern const char kLoopbackConfiguration[];

// Whether the configuration has a Security element (DDS Security) outside XML
// comments, inline or in one of its file:// URIs. A file that cannot be read
// adds nothing, so that doubt counts as no security.
bool configurationHasSecurity(const std::string& configuration);

}  // namespace dds_bridge
