#include "RelayThreads.h"

RelayThreads::Start RelayThreads::startReader(IRelayFunctions& functions, void* (*start)(void*),
                                              void* argument) {
  std::lock_guard<std::mutex> guard(lock);
  if (reader == Reader::Running || reader == Reader::Ending) {
    return Start::AlreadyRunning;
  }
  if (readerJoinable) {
    pthread_join(readerThread, nullptr);  // it has ended already
    readerJoinable = false;
  }
  sem_init(&frames, 0, 0);
  endDispatcher = false;
  if (functions._pthread_create(&readerThread, start, argument) != 0) {
    sem_destroy(&frames);
    reader = Reader::Idle;
    return Start::Failed;
  }
  reader = Reader::Running;
  readerJoinable = true;
  return Start::Started;
}

RelayThreads::Start RelayThreads::startDispatcher(IRelayFunctions& functions,
                                                  void* (*start)(void*), void* argument) {
  std::lock_guard<std::mutex> guard(lock);
  if (reader != Reader::Running) {
    return Start::NoReader;
  }
  if (functions._pthread_create(&dispatcherThread, start, argument) != 0) {
    return Start::Failed;
  }
  dispatcherRunning = true;
  return Start::Started;
}

void RelayThreads::readerEnds() {
  bool wake;
  {
    std::lock_guard<std::mutex> guard(lock);
    reader = Reader::Ending;
    wake = dispatcherRunning;
  }
  if (wake) {
    endDispatcher = true;
    sem_post(&frames);
    pthread_join(dispatcherThread, nullptr);
  }
  std::lock_guard<std::mutex> guard(lock);
  dispatcherRunning = false;
  sem_destroy(&frames);
  reader = Reader::Ended;
}

void RelayThreads::joinReader() {
  pthread_t joining;
  {
    std::lock_guard<std::mutex> guard(lock);
    if (!readerJoinable) {
      return;
    }
    joining = readerThread;
    readerJoinable = false;
  }
  pthread_join(joining, nullptr);
}
