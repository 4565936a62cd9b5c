#pragma once

// The frame relay: signs in to the broker as consumer of the camera frames
// of "ZentorMotion(ZM)", polls them every 150 ms and hands the newest one to
// a callback; the default callback streams JPEG frames to browsers on port 2020.

// Starts the reader thread (sign-in, then polling). 0 when it was started;
// 2 when it could not be, or while a reader is still running.
int connect();
// connect() with the broker index for the environment request.
int connect(unsigned instance);
// Unlocks all locked memory of the process; the threads go on. Always 0.
int disconnect();
// Starts the dispatcher: callback(buffer, length) once per frame read; a null
// callback means pop. 0 when started; 2 on a second call ("calling twice not
// supported"), a length above 81920 ("parameter oversize"), a null buffer,
// no running reader, or when no thread could be made.
int receive(void* (*callback)(char*, unsigned), char* buffer, unsigned length);
// Copies the first length bytes of the latest frame into buffer and streams
// it when it is a JPEG image; returns buffer. A length above 81920 logs
// "oversize" and returns null; a length of 0 returns buffer untouched.
char* pop(char* buffer, unsigned length);
// Copies length bytes (at most 81920) of data in as the latest frame; 0.
int push(unsigned char* data, unsigned length);
// The reader thread: object is the latest-frame record.
void* stayAlive(void* object);
// The dispatcher thread: argument is the dispatcher's argument record.
void* stayReceiving(void* argument);

// The entry points that hosts bind by name.
extern "C" {
// connect().
int VOK_connect();
// connect(instance).
int VOK_connect1(int instance);
// receive(callback, buffer, length) with length taken as unsigned.
int VOK_receive(void* callback, char* buffer, int length);
// disconnect().
int VOK_disconnect();
}
