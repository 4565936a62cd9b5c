#include "brokerOptions.h"

#include "CommandParser.h"
#include "brokerState.h"
#include "log_datalayer.h"

#include <exception>
#include <string>

namespace broker {

namespace {

unsigned long long readOption(const VOK::CommandParser& parser, const char* longName, const char* shortName,
                              int argc, const char** argv, unsigned long long fallback) {
  unsigned long long value = 0;
  if (parser.parseArguments(longName, argc, argv, value) || parser.parseArguments(shortName, argc, argv, value)) {
    return value;
  }
  return fallback;
}

bool hasFlag(const char* name, int argc, const char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i] != nullptr && std::string(argv[i]) == name) {
      return true;
    }
  }
  return false;
}

bool refuse(const std::string& reason) {
  log(LOG_ERROR, caller, reason);
  log(LOG_ERROR, caller, "Terminating VOK because invocation with wrong parameters");
  return false;
}

}  // namespace

bool readBrokerOptions(int argc, const char** argv, BrokerOptions& options) {
  const VOK::CommandParser parser;
  try {
    options.lifetime = readOption(parser, "--lifetime", "-l", argc, argv, options.lifetime);
    options.test = readOption(parser, "--test", "-t", argc, argv, options.test);
    options.count = readOption(parser, "--count", "-c", argc, argv, options.count);
  } catch (const std::exception& e) {
    return refuse(e.what());
  }
  options.open = hasFlag("--open", argc, argv);
  if (options.lifetime == 0) {
    return refuse("0 is not an allowed parameter for -l / --lifetime.");
  }
  return true;
}

}  // namespace broker
