#include "optionTable.h"

#include <algorithm>

namespace VOK {

namespace {

std::string formsOf(const Option& option) {
  std::string forms = option.shortName.empty() ? option.name : option.shortName + ", " + option.name;
  return option.valueName.empty() ? forms : forms + " " + option.valueName;
}

// help broken into lines of at most 80 characters, the later ones indented by
// indent.
std::string wrapped(const std::string& help, size_t indent) {
  const size_t lineWidth = 80;
  std::string text;
  size_t column = indent;
  size_t at = 0;
  while (at < help.size()) {
    size_t end = help.find(' ', at);
    end = end == std::string::npos ? help.size() : end;
    const std::string word = help.substr(at, end - at);
    if (column > indent && column + 1 + word.size() > lineWidth) {
      text += "\n" + std::string(indent, ' ');
      column = indent;
    } else if (column > indent) {
      text += ' ';
      ++column;
    }
    text += word;
    column += word.size();
    at = end + 1;
  }
  return text;
}

}  // namespace

OptionValue numberTo(std::function<void(unsigned long long)> set, unsigned long long low, unsigned long long high) {
  return {std::move(set), nullptr, low, high};
}

OptionValue flagInto(bool& target) {
  OptionValue flag;
  flag.setFlag = [&target] { target = true; };
  return flag;
}

OptionValue textInto(std::string& target) {
  return textTo([&target](const std::string& text) { target = text; });
}

OptionValue textTo(std::function<void(const std::string&)> set) { return {nullptr, std::move(set)}; }

RefusalWording defaultWording() {
  return {[](const std::string& argument) {
            return std::string(argument.rfind('-', 0) == 0 ? "unknown option" : "unknown argument") + " \"" + argument +
                   "\"";
          },
          [](const std::string& option) { return option + " needs a value"; },
          [](const Option& option, const std::string& typed, const std::string& text) {
            return typed + " takes a whole number from " + std::to_string(option.value.low) + " to " +
                   std::to_string(option.value.high) + ", not \"" + text + "\"";
          }};
}

const Option* findOption(const OptionTable& table, const std::string& argument) {
  for (const Option& option : table.options) {
    if (argument == option.name || (!option.shortName.empty() && argument == option.shortName)) {
      return &option;
    }
  }
  return nullptr;
}

std::string usageLine(const OptionTable& table) { return "usage: " + table.program + " " + table.synopsis + "\n"; }

std::string usageText(const OptionTable& table) {
  const Option help{"--help", "-h", "", "this text", {}};
  std::vector<const Option*> lines;
  for (const Option& option : table.options) {
    lines.push_back(&option);
  }
  lines.push_back(&help);
  size_t width = 0;
  for (const Option* option : lines) {
    width = std::max(width, formsOf(*option).size());
  }
  std::string text = usageLine(table) + table.description;
  for (const Option* option : lines) {
    const std::string forms = formsOf(*option);
    text += "  " + forms + std::string(width + 2 - forms.size(), ' ') + wrapped(option->help, width + 4) + "\n";
  }
  return text + table.notes;
}

}  // namespace VOK
