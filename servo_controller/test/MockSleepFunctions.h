#pragma once

#include <gmock/gmock.h>

#include "ISleepFunctions.h"

class MockSleepFunctions : public ISleepFunctions {
 public:
  MOCK_METHOD(int, _nanosleep, (const timespec* request, timespec* remaining), (override));
};
