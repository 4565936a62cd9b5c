#include "ShmDescriptionBase.h"

#include <utility>

ShmDescriptionBase::ShmDescriptionBase(std::string description, std::string appVersion,
                                       std::list<Symbol> symbols)
    : description(std::move(description)),
      appVersion(std::move(appVersion)),
      symbols(std::move(symbols)) {}

const std::string& ShmDescriptionBase::getDescription() const { return description; }
std::string ShmDescriptionBase::getAppVersion() const { return appVersion; }
const std::list<Symbol>& ShmDescriptionBase::getSymbols() const { return symbols; }
