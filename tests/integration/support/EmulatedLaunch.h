#pragma once

#include <string>
#include <vector>

namespace vok_itest {

// Whether this test program runs under a user-mode emulator (a cross build's
// tests under qemu-user). Such a program cannot make itself a subreaper; its
// launcher has done that.
bool runsEmulated();

// The command line that starts argv: argv itself, or, in an emulated test, the
// emulator with argv behind it when argv[0] is a program for the emulated
// architecture, which the kernel cannot execute directly. The emulator is
// started under the program's own name, so that pidof and /proc show it.
std::vector<std::string> launchCommand(const std::vector<std::string>& argv);

}  // namespace vok_itest
