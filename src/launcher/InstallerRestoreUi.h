#pragma once
// How the restore component reaches the user while the installer restores
// its payload: pending window messages go through the application's loop, so
// the installer stays responsive between blocks, and its questions use the
// program's message dialog.
//
// The restore asks after every block, and each look at the message queue is
// a call into the window system (under Wine a round trip to its server and
// to the X connection) that at 16 KiB a block costs more than the restore
// itself: the queue is looked at when kLookInterval has passed since the
// last look. A window served every 10 ms still paints and answers at once.
#include <cstdint>

#include "archive/RestoreUi.h"

namespace lumora {

class InstallerRestoreUi : public archive::RestoreUi {
public:
    void ProcessMessages() override;
    void ShowError(const std::string& text) override;
    bool AskForDisk(const std::string& text) override;

    static constexpr std::uint32_t kLookInterval = 10;  // milliseconds

private:
    bool looked_ = false;
    std::uint32_t lastLook_ = 0;
};

}  // namespace lumora
