#pragma once

// The remote-control record under the name the system gives it. A program
// that also links the camera record includes remoteControlRecord.h instead
// and names it remote_control_record::UserDataStruct.
#include "remoteControlRecord.h"

using remote_control_record::UserDataStruct;
