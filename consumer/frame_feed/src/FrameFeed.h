#pragma once

#include "stopSignalWatcher.h"

// The stand-in camera: signs in to the broker with process id brokerPid as
// provider "ZentorMotion(ZM)" of the bramixmotionData block and publishes a
// JPEG test picture every 50 ms until a stop is requested of stop. Its ring is removed when
// it returns. Throws what the sign-in or the ring set-up throws.
void runFrameFeed(int brokerPid, const VOK::StopSource& stop);
