#include "servoController.h"

#include <csignal>
#include <cstdio>
#include <list>

#include "DEV_Config.h"
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
#include "recordWait.h"
#include "servo.h"
#include "stopSignalWatcher.h"
#include "testDataPump.h"

namespace servo_controller {

namespace {

const char kHandlerComponent[] = "Remote_open_control_kit_enabled_target_(Zentor)C";
constexpr std::chrono::milliseconds kPollPause{150};

std::unique_ptr<VOK::ConsumerSession> signIn(const std::string& component) {
  return VOK::signInAsConsumer(
      {appName}, remote_control_record::kContract.request("wish to receive remote control"),
      sizeof(UserDataStruct), {component, ":socketfd: ", UserDataStruct::kChannels, component + "connect()"},
      [&component](const VOK::ResponseData* reply) { return selectProvide(reply, component); });
}

void forwardRecords(VOK::ConsumerSession& session, bool wakeOnRecord, const std::string& component) {
  UserDataStruct received;
  RecordWait wait(session, wakeOnRecord);
  while (!stopProcess) {
    wait.pause(kPollPause);
    awaitLineRoom();
    VOK::followProvider(session, sizeof(UserDataStruct), component);
    if (stopProcess || !session.reader->readUserData(&received)) {
      continue;
    }
    ServoWrite(&received, false);
    fprintf(stderr, "RECEIVED: %s\n", channelText(received).c_str());
  }
}

}  // namespace

void installStopHandler(bool alsoTerminate) {
  const VOK::StopAction stop = [] { stopProcess = true; };
  // With the failsafe, SIGTERM (a supervisor's usual stop) also ends on the
  // neutral values instead of killing the process mid-frame.
  if (alsoTerminate) {
    VOK::watchStopSignals(kHandlerComponent, {SIGINT, SIGTERM}, stop);
  } else {
    VOK::watchStopSignals(kHandlerComponent, {SIGINT}, stop);
  }
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
    stopProcess = true;
  } else {
    const LastWordGuardian lastWord(std::make_shared<GuardianWrapperLinux>(), port,
                                    ServoFrame(neutralRecord(options.neutral)));
    if (options.failsafe) {
      forwardWithFailsafe(*session, options, component);
    } else {
      forwardRecords(*session, options.wakeOnRecord, component);
    }
  }
  ServoClose();
  destroyDataPumpSemaphore();
  return 0;
}

}  // namespace servo_controller
