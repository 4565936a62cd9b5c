#include "testDataPump.h"

#include <pthread.h>

#include <algorithm>
#include <mutex>

#include "log_datalayer.h"
#include "controllerState.h"
#include "pollPause.h"
#include "stopSignalWatcher.h"

namespace servo_controller {

sem_t semDataReceived;
UserDataStruct testUserDataStruct;

namespace {

const unsigned char testdata[21] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21};
std::once_flag semaphoreOnce;
bool semaphoreReady = false;

}  // namespace

void initDataPumpSemaphore() {
  std::call_once(semaphoreOnce, [] { semaphoreReady = sem_init(&semDataReceived, 0, 0) == 0; });
}

void destroyDataPumpSemaphore() {
  if (semaphoreReady) {
    sem_destroy(&semDataReceived);
    semaphoreReady = false;
  }
}

int test() {
  initDataPumpSemaphore();
  pthread_t thread;
  if (pthread_create(&thread, nullptr, fillTestData, &testUserDataStruct) != 0) {
    log(LOG_INFO, "test(), datapump", "unable to create thread");
    return 2;
  }
  pthread_detach(thread);
  return 0;
}

void* fillTestData(void* target) {
  auto data = static_cast<UserDataStruct*>(target);
  for (int8_t flag = 0; flag < 2; ++flag) {
    for (unsigned char v : testdata) {
      VOK::waitResuming(semDataReceived);
      data->bramixData[0] = data->bramixData[3] = flag;
      data->bramixData[13] = 0;
      data->bramixData[1] = data->bramixData[4] = static_cast<int8_t>(v % 10);
      data->bramixData[2] = data->bramixData[5] = static_cast<int8_t>(std::max<int>(v, 9) - 9);
    }
  }
  VOK::processStop().requestStop();
  return nullptr;
}

}  // namespace servo_controller
