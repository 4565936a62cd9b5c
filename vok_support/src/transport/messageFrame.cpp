#include "messageFrame.h"

#include "pollPause.h"

namespace VOK {

std::size_t leadingObjectLength(const std::string& text) {
  if (text.empty() || text[0] != '{') {
    return 0;
  }
  int depth = 0;
  bool inString = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '{') {
      ++depth;
    } else if (c == '}' && --depth == 0) {
      return i + 1;
    }
  }
  return 0;
}

Frame frameOf(const std::string& text) {
  if (text.empty()) {
    return Frame::Incomplete;
  }
  if (text[0] != '{') {
    return Frame::Malformed;
  }
  return leadingObjectLength(text) > 0 ? Frame::Complete : Frame::Incomplete;
}

bool gatherMessage(std::string& text, int& attemptsLeft,
                   const std::function<Piece(std::string& piece)>& receive,
                   const std::function<bool(std::string& text)>& complete) {
  while (attemptsLeft > 0) {
    --attemptsLeft;
    pollPause();
    std::string piece;
    const Piece outcome = receive(piece);
    if (outcome == Piece::Closed) {
      return false;
    }
    if (outcome == Piece::Received) {
      text += piece;
      if (complete(text)) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace VOK
