#pragma once

// The frame relay's entry points for hosts, over the library's one relay
// (FrameRelay.h says what each does).

// FrameRelay::pop and FrameRelay::push, for callbacks that take the frame.
char* pop(char* buffer, unsigned length);
int push(unsigned char* data, unsigned length);

// The entry points that hosts bind by name.
extern "C" {
// Starts the reader for the broker found first (or the hosting broker).
int VOK_connect();
// Starts the reader for broker instance.
int VOK_connect1(int instance);
// Starts the dispatcher with callback (null: pop), length taken as unsigned.
int VOK_receive(void* callback, char* buffer, int length);
// Unlocks locked memory; always 0.
int VOK_disconnect();
}
