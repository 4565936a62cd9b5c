#pragma once

#include <atomic>

// The stand-in camera: signs in to the broker with process id brokerPid as
// provider "ZentorMotion(ZM)" of the bramixmotionData block and publishes a
// JPEG test picture every 50 ms until stop is set. Its ring is removed when
// it returns. Throws what the sign-in or the ring set-up throws.
void runFrameFeed(int brokerPid, const std::atomic<bool>& stop);
