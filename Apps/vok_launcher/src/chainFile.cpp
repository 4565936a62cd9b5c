#include "chainFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool escapableInDoubleQuotes(char c) { return c == '"' || c == '\\' || c == '$' || c == '`'; }

// The splitter's state while it walks one line.
struct Splitter {
  explicit Splitter(const std::string& line) : line(line) {}
  const std::string& line;
  size_t at = 0;
  CommandLine words;
  std::string word;
  bool inWord = false;

  char next() { return line[at++]; }
  bool atEnd() const { return at >= line.size(); }

  void singleQuoted() {
    const size_t end = line.find('\'', at);
    if (end == std::string::npos) {
      throw std::invalid_argument("unterminated single quote");
    }
    word.append(line, at, end - at);
    at = end + 1;
  }

  void doubleQuoted() {
    while (!atEnd()) {
      const char c = next();
      if (c == '"') {
        return;
      }
      if (c == '\\' && !atEnd() && escapableInDoubleQuotes(line[at])) {
        word += next();
      } else {
        word += c;
      }
    }
    throw std::invalid_argument("unterminated double quote");
  }

  void endWord() {
    if (inWord) {
      words.push_back(word);
    }
    word.clear();
    inWord = false;
  }

  CommandLine run() {
    while (!atEnd()) {
      const char c = next();
      if (isBlank(c)) {
        endWord();
        continue;
      }
      if (c == '#' && !inWord) {
        break;
      }
      inWord = true;
      if (c == '\'') {
        singleQuoted();
      } else if (c == '"') {
        doubleQuoted();
      } else if (c == '\\') {
        if (atEnd()) {
          throw std::invalid_argument("backslash at the end of the line");
        }
        word += next();
      } else {
        word += c;
      }
    }
    endWord();
    return words;
  }
};

unsigned readHangBound(const std::string& text) {
  char* end = nullptr;
  errno = 0;
  const unsigned long value = std::strtoul(text.c_str(), &end, 10);
  if (text.empty() || text[0] == '-' || *end != '\0' || errno != 0 || value == 0 || value > 3600000) {
    throw std::invalid_argument("hang-ms needs milliseconds from 1 to 3600000, not '" + text + "'");
  }
  return static_cast<unsigned>(value);
}

}  // namespace

CommandLine splitWords(const std::string& line) { return Splitter(line).run(); }

Chain readChainFile(const std::string& path) {
  std::ifstream file(path);
  if (!file) {
    throw std::invalid_argument("Cannot read the chain file " + path + ": " + std::strerror(errno));
  }
  Chain chain;
  std::string line;
  for (unsigned number = 1; std::getline(file, line); ++number) {
    try {
      CommandLine words = splitWords(line);
      if (words.size() == 2 && words[0] == "hang-ms") {
        chain.hangMs = readHangBound(words[1]);
      } else if (!words.empty()) {
        chain.members.push_back(std::move(words));
      }
    } catch (const std::invalid_argument& e) {
      throw std::invalid_argument(path + ":" + std::to_string(number) + ": " + e.what());
    }
  }
  if (chain.members.empty()) {
    throw std::invalid_argument("The chain file " + path + " holds no command line");
  }
  return chain;
}
