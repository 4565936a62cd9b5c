#pragma once

#include <list>
#include <string>

#include "Provides.h"
#include "Requests.h"

// One app's self-description: identity, published blocks and wanted data.
// A plain value: copies share nothing; not synchronised.
class ApplicationData {
 public:
  ApplicationData(std::string applicationName, int pid, std::string description,
                  std::string applicationVersion, std::string manufacturer,
                  std::list<Provides> provides, std::list<Requests> requests);
  ApplicationData(const ApplicationData& other) = default;
  ApplicationData& operator=(const ApplicationData& other) = default;

  // The app's name; the key of the app's object in every JSON message.
  const std::string& getApplicationName() const;
  // The app's process id.
  int getPid() const;
  // Free text.
  const std::string& getDescription() const;
  // The app's version text.
  const std::string& getApplicationVersion() const;
  // Free text.
  const std::string& getManufacturer() const;
  // Published blocks, in insertion order.
  const std::list<Provides>& getProvides() const;
  // Wanted data, in insertion order.
  const std::list<Requests>& getRequests() const;

  // The setters replace one field each; nothing else changes.
  void setApplicationName(std::string applicationName);
  void setPid(int pid);
  void setDescription(std::string description);
  void setApplicationVersion(std::string applicationVersion);
  void setManufacturer(std::string manufacturer);

  // Appends a copy; an equal element already present is kept (duplicates allowed).
  void add(Provides provide);
  // Appends a copy; an equal element already present is kept (duplicates allowed).
  void add(Requests request);

  // Removes every provide with the argument's shm id; the argument may be a list element.
  void remove(const Provides& provide);
  // Removes every request with the argument's app name; the argument may be a list element.
  void remove(const Requests& request);

  // Removes every provide of this shm id; false (and no change) when there is none.
  bool tryRemoveProvide(const std::string& shmID);
  // Removes every provide with the argument's shm id; false when there is none.
  bool tryRemoveProvide(const Provides& provide);
  // Removes every request of this app name; false when there is none.
  bool tryRemoveRequest(const std::string& appName);
  // Removes every request with the argument's app name; false when there is none.
  bool tryRemoveRequest(const Requests& request);

  // Equal identity fields, and provides and requests lists of equal length in which
  // every element of the other side has an element of the same key here (any order).
  bool operator==(const ApplicationData& other) const;

 private:
  std::string applicationName;
  int pid;
  std::string description;
  std::string applicationVersion;
  std::string manufacturer;
  std::list<Provides> provides;
  std::list<Requests> requests;
};
