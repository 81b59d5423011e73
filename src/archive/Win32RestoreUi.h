#pragma once
// A plain Win32 user interface for the restore component: pending messages
// through PeekMessageA, the two boxes through MessageBoxA. An application
// with message dialogs of its own installs its own RestoreUi instead.
#include "archive/RestoreUi.h"

namespace lumora::archive {

class Win32RestoreUi : public RestoreUi {
public:
    void ProcessMessages() override;
    void ShowError(const std::string& text) override;
    bool AskForDisk(const std::string& text) override;
};

}  // namespace lumora::archive
