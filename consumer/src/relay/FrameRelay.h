#pragma once

#include <pthread.h>
#include <semaphore.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "IRelayFunctions.h"
#include "RelayThreads.h"
#include "UserDataStruct.h"
#include "stopSignalWatcher.h"
#include "StreamServer.h"
#include "stream.h"

// The frame relay: a reader thread signs in to the broker as consumer of the
// camera frames of "ZentorMotion(ZM)" and polls them every 150 ms; a
// dispatcher thread hands the newest one to a callback, by default pop,
// which streams JPEG frames to browsers on port 2020. One object owns the
// latest frame, both threads, their pacing and the stream server.
class FrameRelay {
 public:
  // Called once per frame read with the caller's buffer and length.
  using Callback = void* (*)(char* buffer, unsigned length);
  // The reader thread's work: sign in for broker instance `instance` and
  // hand every frame read to deliver() until stopping(). Exceptions end the
  // reader with a log line.
  using Reader = std::function<void(FrameRelay& relay, unsigned instance)>;

  // streamFunctions are the system calls of the stream server. Throws
  // std::invalid_argument when a pointer is null or reader is empty.
  FrameRelay(std::shared_ptr<IRelayFunctions> functions, Reader reader,
             std::shared_ptr<IStreamFunctions> streamFunctions);
  FrameRelay(const FrameRelay&) = delete;
  FrameRelay& operator=(const FrameRelay&) = delete;

  // Starts the reader for broker instance (0: the broker found first, or the
  // hosting broker). 0 when it was started; 2 while a reader runs, when no
  // thread could be made, or once stop() was called. A reader that started
  // after an earlier one ended resumes dispatching to the earlier receive.
  int connect(unsigned instance);
  // Starts the dispatcher: callback(buffer, length) once per frame read; a
  // null callback means pop. 0 when started; 2 on a second call ("calling
  // twice not supported"), a length above 81920 ("parameter oversize"), a
  // null buffer, no running reader, or when no thread could be made.
  int receive(Callback callback, char* buffer, unsigned length);
  // Unlocks all locked memory of the process; the threads go on. Always 0.
  int disconnect();
  // Copies the first length bytes of the latest frame into buffer and
  // streams it when it is a JPEG image; returns buffer. A length above
  // 81920 logs "oversize" and returns null; a length of 0 returns buffer
  // untouched.
  char* pop(char* buffer, unsigned length);
  // Copies length bytes (at most 81920) of data in as the latest frame; 0.
  int push(const unsigned char* data, unsigned length);
  // The reader's hand-over: push with the frame's wall-clock stamp (0:
  // unknown), then wake the dispatcher once.
  void deliver(const unsigned char* frame, unsigned length, uint64_t wallClockUs = 0);
  // How long a stream client may take no bytes before it is closed; applies
  // to stream servers started afterwards (default 10 s).
  void setClientTimeout(int64_t microseconds) { clientTimeoutUs = microseconds; }
  // The least time between two frames to one stream client; applies to
  // stream servers started afterwards (default 45453 µs).
  void setFramePeriod(int64_t microseconds) { framePeriodUs = microseconds; }
  // Whether each streamed part carries its frame's X-Timestamp line.
  void setPartStamps(bool on) { partStamps = on; }
  // Whether the reader hands a frame on as soon as the camera announces it,
  // besides its 150 ms passes; set before connect.
  void setWakeOnRecord(bool on) { wakeOnRecord_ = on; }
  bool wakeOnRecord() const { return wakeOnRecord_.load(); }
  // Whether a stream client was connected at the last frame streamed.
  bool viewed() const { return viewers.load() > 0; }
  // Ends both loops for good (the stand-alone entry's stop).
  void stop() { stop_.requestStop(); }
  bool stopping() const { return stop_.stopRequested(); }
  // What the reader's loop waits on between its passes.
  const VOK::StopSource& stopSource() const { return stop_; }
  // Waits for a started reader (and so its dispatcher) to end.
  void joinReader() { threads.joinReader(); }

 private:
  struct Dispatch {
    Callback callback = nullptr;  // null: pop
    char* buffer = nullptr;
    unsigned length = 0;
    bool requested = false;  // receive was accepted
  };

  static void* runReader(void* self);
  static void* runDispatcher(void* self);
  int startDispatcher(const char* component);
  bool dispatching() const;
  void waitForFrame();

  std::shared_ptr<IRelayFunctions> functions;
  Reader reader;
  std::unique_ptr<UserDataStruct> latest;
  uint64_t latestStampUs = 0;  // under frameLock
  VOK::StopSource stop_;
  std::atomic<unsigned> instance{0};
  std::atomic<int64_t> clientTimeoutUs{stream_default_client_timeout_us};
  std::atomic<int64_t> framePeriodUs{stream_default_frame_period_us};
  std::atomic<bool> partStamps{false};
  std::atomic<bool> wakeOnRecord_{false};
  std::atomic<int> viewers{0};
  std::mutex receiveLock;  // one receive decides about the dispatcher at a time
  Dispatch dispatch;
  sem_t frameReady{};
  std::mutex dispatchStep;  // one wait-and-dispatch step
  std::mutex frameLock;     // a frame going into or out of latest
  std::mutex popLock;       // pop copying, streaming and handing out a frame
  std::shared_ptr<IStreamFunctions> streamFunctions;
  std::unique_ptr<StreamServer> server;  // while a dispatcher runs; under popLock
  RelayThreads threads{frameReady};
};

// The reader the library runs: signs in, attaches to the provider's ring and
// polls it every 150 ms (and, with wakeOnRecord, reads each announced frame).
void signInAndPollFrames(FrameRelay& relay, unsigned instance);

// The library's one relay, behind its exported functions. Never destroyed:
// its threads may still run while the host ends.
FrameRelay& frameRelay();
