#include "Provides.h"

#include <utility>

Provides::Provides(std::string description, std::string appVersion, std::list<Symbol> symbols,
                   std::string shmID, int signal)
    : ShmDescriptionBase(std::move(description), std::move(appVersion), std::move(symbols)),
      shmID(std::move(shmID)),
      signal(signal) {}

void Provides::MakeThisClassAbstract() {}

std::string Provides::getShmID() const { return shmID; }
int Provides::getSignal() const { return signal; }

bool Provides::operator==(const Provides& other) const { return shmID == other.shmID; }
bool Provides::operator==(const std::string& id) const { return shmID == id; }

bool Provides::operator==(const Requests& request) const {
  // std::list::operator== compares lengths first, then pairs in order.
  return getDescription() == request.getDescription() &&
         getAppVersion() == request.getAppVersion() && getSymbols() == request.getSymbols() &&
         shmID == request.getAppName();
}
