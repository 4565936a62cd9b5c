#pragma once

#include <string>

#include "DdsItest.h"

namespace vok_itest {

// Two network namespaces joined by a veth pair, each with one end, stand for
// the board and a station; both are removed again, with the pair.
class TwoMachines {
 public:
  TwoMachines();
  ~TwoMachines();
  TwoMachines(const TwoMachines&) = delete;
  TwoMachines& operator=(const TwoMachines&) = delete;

  // Whether both namespaces and the pair were made (they need root).
  bool ready() const { return made; }
  // The prefix that runs a command on machine i (0 or 1), with the LAN
  // configuration naming its end of the pair and the other's address.
  Argv on(int i) const;

 private:
  static std::string address(int i);
  static bool run(Argv command);

  std::string names[2];
  std::string links[2];
  bool made = false;
};

}  // namespace vok_itest
