#pragma once

#include <memory>
#include <string>

#include "ISerialFunctions.h"

// The serial port to the servo board, open for the object's life as a
// transmit-only raw line at 9600 baud 8N1; its descriptor is closed when the
// object is destroyed.
class SerialPort {
 public:
  // Opens path through functions; a failure is reported with perror
  // ("\nServo: open_port: Unable to open PATH - ") and leaves the port closed.
  // Throws std::invalid_argument when functions is null.
  SerialPort(std::shared_ptr<ISerialFunctions> functions, const std::string& path);
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Whether the port is open.
  bool isOpen() const { return fd >= 0; }
  // The open descriptor, or -1.
  int descriptor() const { return fd; }
  // Writes count bytes one write(2) each, so that a full driver buffer shows
  // as a short count, echoing each as ",0x%x" on standard error when echo is
  // set; the bytes written. Nothing is written while the port is closed.
  int writeBytes(const unsigned char* bytes, int count, bool echo);
  // The bytes still waiting in the port's output queue; 0 when closed or
  // when the port cannot tell.
  int queuedBytes() const;
  // Closes the port now: close's result, -1 when it was not open.
  int close();

 private:
  std::shared_ptr<ISerialFunctions> sys;
  int fd = -1;
};
