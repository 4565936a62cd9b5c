#pragma once

// Message layer only: this header pulls in nlohmann/json.

#include <list>
#include <nlohmann/json.hpp>
#include <string>

#include "ApplicationData.h"

namespace VOK {

using json = nlohmann::json;

// Writes the parts shared by the sign-in and the reply. Each operation adds members to
// the value passed in, creating them on first use; equal keys end up in one member.
class ToJsonBase {
 public:
  virtual ~ToJsonBase() = default;

  // j[app name] = the app object with its provides, but without its requests.
  virtual void transformApplicationDataIntoJson(const ApplicationData& app, json& j) const;

  // o["Provides"][shm id] for each provide; nothing for an empty list.
  void transformProvidesListIntoJson(const std::list<Provides>& provides, json& o) const;
  // "Type", "Version", "Description" and "Symbols" of a provide or request;
  // symbols carry "Offset" exactly when typeValue is "Provide".
  void transformShmDescriptionBaseIntoJson(const ShmDescriptionBase& description,
                                           const std::string& typeValue, json& e) const;
  // e["Symbols"][name] for each symbol. An empty list throws std::invalid_argument.
  void transformSymbolListIntoJson(const std::list<Symbol>& symbols, json& e,
                                   bool withOffset) const;
};

}  // namespace VOK
