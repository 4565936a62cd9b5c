#include "EmulatedLaunch.h"

#include <elf.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace vok_itest {

#ifdef VOK_ITEST_EMULATOR

namespace {

#if defined(__arm__)
constexpr Elf32_Half ownMachine = EM_ARM;
#elif defined(__aarch64__)
constexpr Elf32_Half ownMachine = EM_AARCH64;
#else
constexpr Elf32_Half ownMachine = EM_X86_64;
#endif

// e_machine sits at the same offset in 32- and 64-bit ELF headers.
bool isProgramForThisArchitecture(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  Elf32_Ehdr header{};
  if (!file.read(reinterpret_cast<char*>(&header), sizeof(header))) {
    return false;
  }
  return std::memcmp(header.e_ident, ELFMAG, SELFMAG) == 0 && header.e_machine == ownMachine;
}

std::vector<std::string> emulatorCommand() {
  std::vector<std::string> words;
  std::string text = VOK_ITEST_EMULATOR;
  for (size_t start = 0; start <= text.size();) {
    size_t end = text.find('|', start);
    if (end == std::string::npos) {
      end = text.size();
    }
    words.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

std::string baseName(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A link named like the program that points at the emulator: the kernel takes
// a process's name from the file name it executes.
std::string emulatorNamed(const std::string& name, const std::string& emulator) {
  ::mkdir(VOK_ITEST_EMULATOR_LINKS, 0755);
  const std::string link = std::string(VOK_ITEST_EMULATOR_LINKS) + "/" + name;
  if (::symlink(emulator.c_str(), link.c_str()) != 0 && errno != EEXIST) {
    throw std::runtime_error("cannot link " + link + ": " + std::strerror(errno));
  }
  return link;
}

}  // namespace

bool runsEmulated() {
  return true;
}

std::vector<std::string> launchCommand(const std::vector<std::string>& argv) {
  if (argv.empty() || !isProgramForThisArchitecture(argv[0])) {
    return argv;
  }
  char resolved[PATH_MAX];
  if (::realpath(argv[0].c_str(), resolved) == nullptr) {
    return argv;
  }
  std::vector<std::string> command = emulatorCommand();
  command[0] = emulatorNamed(baseName(argv[0]), command[0]);
  command.push_back(resolved);
  command.insert(command.end(), argv.begin() + 1, argv.end());
  return command;
}

#else

bool runsEmulated() {
  return false;
}

std::vector<std::string> launchCommand(const std::vector<std::string>& argv) {
  return argv;
}

#endif

}  // namespace vok_itest
