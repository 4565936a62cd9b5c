#pragma once

#include <list>
#include <string>

#include "Requests.h"
#include "ShmDescriptionBase.h"

// A block an app publishes in a POSIX shared-memory object, identified by its shm id alone.
class Provides : public ShmDescriptionBase {
 public:
  // shmID: name of the shared-memory object and key in JSON; signal is carried unchanged.
  Provides(std::string description, std::string appVersion, std::list<Symbol> symbols,
           std::string shmID, int signal);
  Provides(const Provides& other) = default;
  Provides& operator=(const Provides& other) = default;

  // Empty: makes the class concrete.
  void MakeThisClassAbstract() override;
  virtual ~Provides() = default;

  // The shared-memory object's name (a copy).
  std::string getShmID() const;
  // The number the app attached to the provide.
  int getSignal() const;

  // True exactly when the shm ids are equal.
  bool operator==(const Provides& other) const;
  // True exactly when the shm id equals the text.
  bool operator==(const std::string& shmID) const;
  // True when description, version and symbols (pairwise, in order) equal the request's
  // and the shm id equals the request's app name.
  bool operator==(const Requests& request) const;

 private:
  std::string shmID;
  int signal;
};
