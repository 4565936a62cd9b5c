#include "Requests.h"

#include <utility>

Requests::Requests(std::string description, std::string appVersion, std::list<Symbol> symbols,
                   std::string appName)
    : ShmDescriptionBase(std::move(description), std::move(appVersion), std::move(symbols)),
      appName(std::move(appName)) {}

void Requests::MakeThisClassAbstract() {}

std::string Requests::getAppName() const { return appName; }
void Requests::setAppName(std::string newName) { appName = std::move(newName); }

bool Requests::operator==(const Requests& other) const { return appName == other.appName; }
bool Requests::operator==(const std::string& name) const { return appName == name; }
