#pragma once
// How the restore component reaches the user while the installer restores
// its payload: pending window messages go through the application's loop, so
// the installer stays responsive between blocks, and its questions use the
// program's message dialog.
#include "archive/RestoreUi.h"

namespace lumora {

class InstallerRestoreUi : public archive::RestoreUi {
public:
    void ProcessMessages() override;
    void ShowError(const std::string& text) override;
    bool AskForDisk(const std::string& text) override;
};

}  // namespace lumora
