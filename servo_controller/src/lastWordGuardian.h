#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

#include "IGuardianFunctions.h"

// The servo line's last word. However the controller ends (an orderly stop,
// kill -9, a crash), the neutral frame goes on the line at once, before a
// supervisor can restart anything: a small child process keeps a copy of the
// open port and the frame, and waits on a pipe whose write end only the
// controller holds. The kernel closes that end with the controller, the
// child reads the end of the pipe, writes the frame and exits. The child is
// named "servo_lastword" and ignores SIGINT, SIGTERM and SIGHUP: a signal
// sent to the whole group must not end it before the controller.
class LastWordGuardian {
 public:
  // Starts the guardian over the open descriptor port with frame (the bytes
  // it writes). Throws std::invalid_argument for null functions, and
  // VOKException with the system's text when the pipe or the child cannot
  // be made (nothing is left open then).
  LastWordGuardian(std::shared_ptr<IGuardianFunctions> functions, int port, std::string frame);
  LastWordGuardian(const LastWordGuardian&) = delete;
  LastWordGuardian& operator=(const LastWordGuardian&) = delete;
  // The orderly end: lets the guardian write the frame and waits until it
  // has (it gives up a port that takes no bytes after about half a second).
  ~LastWordGuardian();

  // The guardian's pid.
  pid_t pid() const { return child; }

 private:
  std::shared_ptr<IGuardianFunctions> functions;
  int lifeLine = -1;
  pid_t child = -1;
};
