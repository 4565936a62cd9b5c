#pragma once

#include "DataProviderInfo.h"
#include "ISocketHandler.h"
#include "ISocketHandlerFunctions.h"
#include "appList.h"

#include <cstddef>
#include <list>
#include <string>

namespace broker {

// The broker's work on the accepted connections. Both passes re-read
// stopProcess before each step; any exception ends the pass, is logged and
// sets stopProcess, and the pass returns normally.

// One sign-in on fd, logged and appended to apps under component: the new
// record, or null (logged, fd closed) when the app sent nothing usable.
// Exceptions of the sign-in wait pass to the caller.
ConfigurationData* signInOne(int fd, AppList& apps, ISocketHandler* server, unsigned long long lifetime,
                             ISocketHandlerFunctions* functions, const std::string& component);

// Logs "<count> provider for <fd> <name>" under component.
void logProviderCount(const ConfigurationData& app, std::size_t count, const std::string& component);

// Sends app its connect reply naming providers. Throws VOK::VOKException when
// the socket does not take it.
void sendReply(const ConfigurationData& app, const std::list<VOK::DataProviderInfo>& providers,
               ISocketHandler* server, const std::string& component);

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
