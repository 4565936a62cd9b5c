#include "controllerOptions.h"

namespace servo_controller {

namespace {

VOK::OptionTable controllerTable(ControllerOptions& options) {
  return {"servo_controller",
          "[--failsafe MS] [--neutral V,...] [--wake-on-record]",
          "",
          {{"--failsafe", "", "MS",
            "send the neutral values when no new record came for MS milliseconds "
            "(1..3600000), "
            "and once more at an orderly stop (SIGINT or SIGTERM); off by default",
            VOK::numberTo([&options](unsigned long long ms) { options.failsafe = std::chrono::milliseconds(ms); }, 1,
                          3600000)},
           {"--neutral", "", "V,...",
            "the neutral values for channels 0, 1, ... (up to 14 values 0..15; "
            "default 8 for channels 0..13)",
            VOK::textTo([&options](const std::string& text) { options.neutral = parseNeutralValues(text); })},
           {"--wake-on-record", "", "",
            "send a new record as soon as it is written, not at the next 150 ms pass (passes go on); "
            "off by default",
            VOK::flagInto(options.wakeOnRecord)}}};
}

}  // namespace

ControllerCommand readControllerOptions(const std::vector<std::string>& arguments) {
  ControllerCommand command;
  static_cast<VOK::CommandOutcome&>(command) = VOK::readCommandLine(controllerTable(command.options), arguments);
  return command;
}

}  // namespace servo_controller
