#include "ToJsonBase.h"

#include <stdexcept>

#include "StringDefs.h"

namespace VOK {

namespace {
namespace Keys = StringDefs::ConfigKeys;
namespace Values = StringDefs::ConfigDefaultValues;
}  // namespace

void ToJsonBase::transformApplicationDataIntoJson(const ApplicationData& app, json& j) const {
  json& o = j[app.getApplicationName()];
  o[Keys::Type] = Values::ApplicationData;
  o[Keys::PID] = app.getPid();
  o[Keys::Version] = app.getApplicationVersion();
  o[Keys::Description] = app.getDescription();
  o[Keys::Manufacturer] = app.getManufacturer();
  transformProvidesListIntoJson(app.getProvides(), o);
}

void ToJsonBase::transformProvidesListIntoJson(const std::list<Provides>& provides,
                                               json& o) const {
  for (const Provides& provide : provides) {
    json& e = o[Keys::Provides][provide.getShmID()];
    e[Keys::Signal] = provide.getSignal();
    transformShmDescriptionBaseIntoJson(provide, Values::TypeOfProvidedData, e);
  }
}

void ToJsonBase::transformShmDescriptionBaseIntoJson(const ShmDescriptionBase& description,
                                                     const std::string& typeValue,
                                                     json& e) const {
  e[Keys::Type] = typeValue;
  e[Keys::Version] = description.getAppVersion();
  e[Keys::Description] = description.getDescription();
  transformSymbolListIntoJson(description.getSymbols(), e,
                              typeValue == Values::TypeOfProvidedData);
}

void ToJsonBase::transformSymbolListIntoJson(const std::list<Symbol>& symbols, json& e,
                                             bool withOffset) const {
  if (symbols.empty()) {
    throw std::invalid_argument(
        "transformIntoJsonSymbolsToDataStructure(): Symbols were expected, but were not "
        "defined.");
  }
  for (const Symbol& symbol : symbols) {
    json& s = e[Keys::Symbols][symbol.getName()];
    s[Keys::Type] = symbol.getType();
    s[Keys::Size] = symbol.getSizeOf();
    if (withOffset) {
      s[Keys::Offset] = symbol.getOffset();
    }
  }
}

}  // namespace VOK
