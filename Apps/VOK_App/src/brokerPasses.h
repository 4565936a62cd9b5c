#pragma once

#include "ISocketHandler.h"
#include "ISocketHandlerFunctions.h"
#include "appList.h"

#include <list>

namespace broker {

// The broker's work on the accepted connections. Both passes re-read
// stopProcess before each step; any exception ends the pass, is logged and
// sets stopProcess, and the pass returns normally.

// Sign-in pass: one sign-in per accepted descriptor, in order, appended to
// apps. A descriptor without a usable sign-in is closed through functions.
void intercept(const std::list<int>* accepted, AppList* apps, ISocketHandler* server,
               unsigned long long lifetime, ISocketHandlerFunctions* functions);

// Reply pass: sends each app that has at least one provider its connect reply.
void interlock(const AppList* apps, ISocketHandler* server);

// Closes every app's descriptor through functions and drops its record;
// leaves the list empty. A null list is ignored.
void cleanAppList(AppList* apps, ISocketHandlerFunctions* functions);

}  // namespace broker
