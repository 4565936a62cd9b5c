#pragma once

#include <semaphore.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "IRelayFunctions.h"
#include "RelayThreads.h"
#include "UserDataStruct.h"
#include "stream.h"

// Module state of the frame relay, shared by the caller's thread, the reader
// and the dispatcher. Nothing here frees memory when it is destroyed, so a
// host that ends while the threads still run pulls nothing away under them.
namespace frame_relay {

constexpr char appName[] = "ZentorMotion(ZM)";
constexpr char isConsumer[] = "C";
constexpr char symbol[] = "bramixmotionData";
constexpr char symboltype[] = "int8_t";

// Called once per frame read with the caller's buffer and length.
using Callback = void* (*)(char* buffer, unsigned length);

// Arguments of the dispatcher thread. A set callback also means that
// receive has been called.
struct StayReceivingArgs {
  UserDataStruct* object;
  Callback callback;
  char* buffer;
  uint32_t length;
};

extern UserDataStruct myUserDataStruct;     // the latest frame
extern unsigned long long segmentLifeTime;   // set by the stand-alone entry only
extern unsigned long long serverInstanceNum; // broker index for the environment request
extern std::atomic<bool> stopProcess;        // set by SIGINT in the stand-alone entry
extern sem_t semDataReceived;                // one post per frame read
extern StayReceivingArgs stayReceiving_args;
extern pthread_mutex_t mx;   // the reader's sign-in
extern pthread_mutex_t mx1;  // one dispatch step
extern pthread_mutex_t mx2;  // a frame going into or out of myUserDataStruct
extern pthread_mutex_t mx3;  // pop copying, streaming and handing out a frame
extern stream stm;           // the MJPEG stream server
extern int cnt_current_streams;
extern RelayThreads threads;

// The system calls in use.
IRelayFunctions& relayFunctions();
// Replaces them (tests); throws std::invalid_argument when functions is null.
void relayUseFunctions(std::shared_ptr<IRelayFunctions> functions);

}  // namespace frame_relay
