#pragma once

#include <memory>
#include <string>

#include "ISerialFunctions.h"

namespace remote_control_record {
class UserDataStruct;
}
using remote_control_record::UserDataStruct;

// The serial servo board: one 15-character frame per call, 9600 baud 8N1,
// on a transmit-only raw line (nothing received reaches the frames).

// Opens "/dev/serial0" as the one SerialPort (a transmit-only raw line,
// pending input dropped); the descriptor, or -1 when a port is already open
// (it is kept) or it cannot be opened.
int ServoOpen();
// The same for path through functions (a substitute in tests). Throws
// std::invalid_argument when functions is null.
int ServoOpen(std::shared_ptr<ISerialFunctions> functions, const std::string& path);

// test false: sets value 14 of data to 13 and sends the 15 values, each
// moved into 0..15, as upper-case hex digits, one write per character; the bytes
// written (15 on success, reported otherwise). test true: ServoTest(), data
// is neither read nor changed.
int ServoWrite(UserDataStruct* data, bool test);

// The 15 characters ServoWrite sends for data (value 14 taken as 13).
std::string ServoFrame(const UserDataStruct& data);

// Sends the fixed test frame raw, echoing it on standard error, then pauses
// 150 ms; the bytes written.
int ServoTest();

// The bytes of earlier frames that the port has still to send; 0 when it
// cannot tell (a pseudo-terminal hands its bytes on at once).
int ServoQueued();
// Closes the port; close's result, -1 when none is open. The port counts as closed afterwards.
int ServoClose();

// The frame digit of c: '0'..'9' for 0..9, 'A'..'F' for 10..15.
unsigned char hex2asc(unsigned char c);
