#pragma once

// Helpers for integration tests that run real processes:
//  - ChildProcess: a child tracked by pid; signals go to that pid only, the
//    destructor kills and reaps it.
//  - StartedProcess: a program started with argv, its stdout/stderr in files.
//  - BrokerProcess: a real VOK_App started like a user does; adopts the
//    daemonised child (subreaper), removes its socket file at the end.
//  - ShmLeftovers: removes named shared-memory objects at the end.
//  - eventually: waits for a condition with a deadline.
// Tests built with vok_add_integration_test get VOK_APP_PATH defined as the
// path of the VOK_App under test.
#include "BrokerProcess.h"
#include "ChildProcess.h"
#include "Eventually.h"
#include "StartedProcess.h"
