#include "servoController.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <list>

#include "UserDataStruct.h"
#include "appSignIn.h"
#include "channelText.h"
#include "GuardianWrapperLinux.h"
#include "failsafeForwarding.h"
#include "lastWordGuardian.h"
#include "log_datalayer.h"
#include "neutralValues.h"
#include "provideSelection.h"
#include "remoteControlContract.h"
#include "lineRoom.h"
#include "recordWait.h"
#include "servo.h"
#include "stopSignalWatcher.h"
#include "testDataPump.h"

namespace servo_controller {

const char kStopComponent[] = "Remote_open_control_kit_enabled_target_(Zentor)C";

namespace {

constexpr std::chrono::milliseconds kPollPause{150};

std::unique_ptr<VOK::ConsumerSession> signIn(const std::string& component) {
  return VOK::signInAsConsumer(
      {appName}, remote_control_record::kContract.request("wish to receive remote control"),
      sizeof(UserDataStruct), {component, ":socketfd: ", UserDataStruct::kChannels, component + "connect()"},
      [&component](const VOK::ResponseData* reply) { return selectProvide(reply, component); });
}

void forwardRecords(VOK::ConsumerSession& session, bool wakeOnRecord, const std::string& component,
                    const VOK::StopSource& stop) {
  UserDataStruct received;
  VOK::RecordWait wait(session, wakeOnRecord, stop);
  while (!stop.stopRequested()) {
    wait.pause(kPollPause);
    awaitLineRoom(stop);
    VOK::followProvider(session, sizeof(UserDataStruct), component);
    if (stop.stopRequested() || !session.reader->readUserData(&received)) {
      continue;
    }
    ServoWrite(&received, false);
    fprintf(stderr, "RECEIVED: %s\n", channelText(received).c_str());
  }
}

}  // namespace

std::vector<int> stopSignals(const ControllerOptions& options) {
  // With the failsafe, SIGTERM (a supervisor's usual stop) also ends on the
  // neutral values instead of killing the process mid-frame.
  if (options.failsafe) {
    return {SIGINT, SIGTERM};
  }
  return {SIGINT};
}

int runController(const std::string& component, const ControllerOptions& options) {
  initDataPumpSemaphore();
  std::unique_ptr<VOK::ConsumerSession> session = signIn(component);
  if (!session->reader) {
    destroyDataPumpSemaphore();
    return 1;
  }
  const int port = ServoOpen();
  if (port == -1) {
    log(LOG_ERROR, component, "SERVO not open");
    VOK::processStop().requestStop();
  } else {
    const LastWordGuardian lastWord(std::make_shared<GuardianWrapperLinux>(), port,
                                    ServoFrame(neutralRecord(options.neutral)));
    if (options.failsafe) {
      forwardWithFailsafe(*session, options, component, VOK::processStop());
    } else {
      forwardRecords(*session, options.wakeOnRecord, component, VOK::processStop());
    }
  }
  ServoClose();
  destroyDataPumpSemaphore();
  return 0;
}

}  // namespace servo_controller
