// The library's exported functions, thin over its one relay.
#include "frameRelayExports.h"

#include "FrameRelay.h"

char* pop(char* buffer, unsigned length) { return frameRelay().pop(buffer, length); }

int push(unsigned char* data, unsigned length) { return frameRelay().push(data, length); }

extern "C" {

int VOK_connect() { return frameRelay().connect(0); }

int VOK_connect1(int instance) { return frameRelay().connect(static_cast<unsigned>(instance)); }

int VOK_receive(void* callback, char* buffer, int length) {
  return frameRelay().receive(reinterpret_cast<FrameRelay::Callback>(callback), buffer,
                              static_cast<unsigned>(length));
}

int VOK_disconnect() { return frameRelay().disconnect(); }
}
