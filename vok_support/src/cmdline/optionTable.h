#pragma once

#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace VOK {

// Where an option's value goes: a number checked against low..high, a text,
// or nothing but the option's presence.
struct OptionValue {
  std::function<void(unsigned long long)> setNumber;  // set for a number
  std::function<void(const std::string&)> setText;    // set for a text; throws std::invalid_argument with the reason
  unsigned long long low = 0;
  unsigned long long high = std::numeric_limits<unsigned long long>::max();
  std::function<void()> setFlag = nullptr;  // set for a flag, which takes no value
};

// A number from low to high stored into target.
template <class T>
OptionValue numberInto(T& target, unsigned long long low = 0,
                       unsigned long long high = std::numeric_limits<unsigned long long>::max()) {
  return {[&target](unsigned long long number) { target = static_cast<T>(number); }, nullptr, low, high};
}
// A number from low to high handed to set.
OptionValue numberTo(std::function<void(unsigned long long)> set, unsigned long long low, unsigned long long high);
// A flag: target becomes true when the option is given.
OptionValue flagInto(bool& target);
// The text stored into target as it is.
OptionValue textInto(std::string& target);
// The text handed to set, which throws std::invalid_argument with the reason
// when it refuses it.
OptionValue textTo(std::function<void(const std::string&)> set);

// The highest broker index (-s/--serverinstance) that a lookup can reach.
constexpr unsigned long long kHighestServerInstance = 63;

// One option: its forms, the line --help shows, and where its value goes.
struct Option {
  std::string name;       // long form, "--max-fps"
  std::string shortName;  // short form, "-s", or empty
  std::string valueName;  // its value in the usage, "N"
  std::string help;       // what it does, for --help
  OptionValue value;
};

// The sentences of a refusal; a program may keep its own.
struct RefusalWording {
  std::function<std::string(const std::string& argument)> unknown;
  std::function<std::string(const std::string& option)> missingValue;
  std::function<std::string(const Option& option, const std::string& typed, const std::string& text)> badNumber;
};
// "unknown option \"X\"" (or "unknown argument" for a word), "X needs a value",
// "X takes a whole number from LOW to HIGH, not \"TEXT\"" (X as typed).
RefusalWording defaultWording();

// A program's whole command line.
struct OptionTable {
  std::string program;           // "vok_camera"
  std::string synopsis;          // what follows the program name in the usage line
  std::string description = "";  // lines between the usage line and the options; may be empty
  std::vector<Option> options;
  std::string notes = "";  // lines after the options; may be empty
  // Takes each argument that is no option; null: such an argument is refused.
  std::function<void(const std::string&)> positional = nullptr;
  RefusalWording wording = defaultWording();
};

// The option named argument (long or short form), or null.
const Option* findOption(const OptionTable& table, const std::string& argument);

// "usage: PROGRAM SYNOPSIS\n".
std::string usageLine(const OptionTable& table);

// The text of --help: the usage line, the description, a line for each option
// and for --help itself, the notes.
std::string usageText(const OptionTable& table);

}  // namespace VOK
