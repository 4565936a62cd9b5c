#pragma once

#include <sys/types.h>

// Whether this process may believe a ring whose shared-memory object belongs
// to owner: the owner is root, this process's user, or the user of the
// provider process providerPid (the pid of the provider's sign-in, looked up
// in /proc). Anyone can create an object under a name that a reply announces.
bool ringOwnerTrusted(uid_t owner, int providerPid);
