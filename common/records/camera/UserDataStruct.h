#pragma once

// The camera frame record under the name the system gives it. A program that
// also links the remote-control record includes cameraRecord.h instead and
// names it camera_record::UserDataStruct.
#include "cameraRecord.h"

using camera_record::UserDataStruct;
