#include "settings/ExitCodes.h"

namespace lumora {

namespace {

ExitCode outcome = ExitCode::Cancelled;

}  // namespace

ExitCode RunOutcome() { return outcome; }

void RecordOutcome(ExitCode recorded) { outcome = recorded; }

}  // namespace lumora
