#pragma once

#include <list>
#include <string>

#include "ShmDescriptionBase.h"

// Data an app wants from another app, identified by that app's name alone.
class Requests : public ShmDescriptionBase {
 public:
  // appName: the name of the app whose data is wanted; the key of the request in JSON.
  Requests(std::string description, std::string appVersion, std::list<Symbol> symbols,
           std::string appName);
  Requests(const Requests& other) = default;
  Requests& operator=(const Requests& other) = default;

  // Empty: makes the class concrete.
  void MakeThisClassAbstract() override;
  virtual ~Requests() = default;

  // The name of the wanted app (a copy).
  std::string getAppName() const;
  // Replaces the name of the wanted app.
  void setAppName(std::string appName);

  // True exactly when the app names are equal.
  bool operator==(const Requests& other) const;
  // True exactly when the app name equals the text.
  bool operator==(const std::string& appName) const;

 private:
  std::string appName;
};
