#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace VOK {

// The transport has no framing: a message arrives in pieces of any size.
// These are the one rule for when the pieces gathered so far are a whole
// JSON document, and the one loop that gathers them.

// Where a gathered text stands.
enum class Frame {
  Incomplete,  // empty, or the start of an object that has not ended yet
  Complete,    // begins with a whole JSON object
  Malformed    // begins with anything but '{': no further piece can mend it
};

// Length of the JSON object at the start of text, or 0 when text does not
// start with a complete one. Braces and quotes inside strings do not count.
std::size_t leadingObjectLength(const std::string& text);

// Where text stands, by the rules above.
Frame frameOf(const std::string& text);

// What one receive attempt brought.
enum class Piece {
  Received,  // the piece holds new bytes
  Nothing,   // nothing arrived this time
  Closed     // no more will come (connection closed, or the wait is called off)
};

// Gathers one message. Each attempt costs one poll pause, then
// receive(piece); a received piece is appended to text, and the message is
// whole once complete(text) holds (complete may tidy the text, for example
// drop what belongs to an earlier message). Every attempt uses one of
// attemptsLeft, so what is left carries on into a further call. Returns
// whether the message is whole; false when the attempts ran out or receive
// reported Closed.
bool gatherMessage(std::string& text, int& attemptsLeft,
                   const std::function<Piece(std::string& piece)>& receive,
                   const std::function<bool(std::string& text)>& complete);

}  // namespace VOK
