#pragma once

#include <string>
#include <vector>

// One command line of the chain: the program and its arguments.
using CommandLine = std::vector<std::string>;

// Splits one line into words as a shell does, without any expansion: blanks
// separate words; single quotes keep everything literally; double quotes keep
// blanks and let a backslash escape only '"', '\\', '$' and '`'; outside quotes
// a backslash keeps the next character; a '#' that begins a word starts a
// comment. Throws std::invalid_argument for an open quote or a trailing backslash.
CommandLine splitWords(const std::string& line);

// What a chain file holds.
struct Chain {
  std::vector<CommandLine> members;  // the broker first, then the apps in start order
  // A provider whose ring has not moved for this long hangs (0: not watched).
  unsigned hangMs = 0;
};

// Reads the chain file at path: one command line per line, the broker first,
// then the apps in start order, and optionally the line "hang-ms N"; blank
// lines and comments are skipped. Throws std::invalid_argument, naming path
// and line, when the file cannot be read, a line does not split, the bound is
// not a number, or no command line is left.
Chain readChainFile(const std::string& path);
