#pragma once

#include <pthread.h>
#include <semaphore.h>

#include <atomic>
#include <mutex>

#include "IRelayFunctions.h"

// When the frame relay's reader and dispatcher threads may start and how
// they end. The reader owns the frame semaphore: it is set up when the
// reader starts, and the reader's end first wakes and joins the dispatcher,
// then destroys it. Thread-safe.
class RelayThreads {
 public:
  enum class Start { Started, AlreadyRunning, NoReader, Failed };

  // frames: the semaphore that paces the dispatcher; it must outlive this object.
  explicit RelayThreads(sem_t& frames) : frames(frames) {}

  // Sets up the semaphore and starts the reader; AlreadyRunning while one
  // runs, Failed (semaphore released again) when no thread could be made.
  Start startReader(IRelayFunctions& functions, void* (*reader)(void*), void* argument);
  // Starts the dispatcher; NoReader unless a reader runs and is not ending.
  Start startDispatcher(IRelayFunctions& functions, void* (*dispatcher)(void*), void* argument);
  // The reader's last act: wakes and joins the dispatcher, destroys the semaphore.
  void readerEnds();
  // Whether the dispatcher has to end (its reader is ending).
  bool dispatcherMustEnd() const { return endDispatcher.load(); }
  // Waits for a started reader (and so its dispatcher) to end.
  void joinReader();

 private:
  enum class Reader { Idle, Running, Ending, Ended };
  sem_t& frames;
  std::mutex lock;
  Reader reader = Reader::Idle;
  bool readerJoinable = false;
  bool dispatcherRunning = false;
  pthread_t readerThread{};
  pthread_t dispatcherThread{};
  std::atomic<bool> endDispatcher{false};
};
