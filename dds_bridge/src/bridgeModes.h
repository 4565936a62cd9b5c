#pragma once

#include <memory>

#include "IDdsFunctions.h"
#include "bridgeOptions.h"

namespace dds_bridge {

// The bridge's modes, each until a stop signal; the exit status (0 after the
// stop, 1 when the sign-in gave nothing to read, 2 when the configuration
// does not allow the mode). They throw what the DDS
// endpoint and the sign-in throw.

// The camera ring's frames as CompressedImage samples, stamped when read.
int publishCamera(const BridgeOptions& options, std::shared_ptr<IDdsFunctions> dds);
// The remote-control ring's records as Int8MultiArray samples.
int publishCommand(const BridgeOptions& options, std::shared_ptr<IDdsFunctions> dds);
// The provider of the remote-control ring, fed from the command topic: the
// values are written every 10 ms (so readers see a live feed), the neutral
// ones after the failsafe time without a message and as the last record.
// Only with DDS Security in Cyclone's configuration or --allow-unauthenticated.
int subscribeCommand(const BridgeOptions& options, std::shared_ptr<IDdsFunctions> dds);

}  // namespace dds_bridge
