#pragma once
// What the restore component asks of the user interface. The application
// installs its implementation once (the installer: message processing and
// message boxes); without one, nothing is shown and every question is
// answered with Cancel, so tools and tests run without a user interface.
#include <string>

namespace lumora::archive {

class RestoreUi {
public:
    virtual ~RestoreUi() = default;

    // Handles the window messages that are waiting, then returns.
    virtual void ProcessMessages() {}
    // A modal box captioned "Error" with the error icon and one OK button.
    virtual void ShowError(const std::string& /*text*/) {}
    // A modal box captioned "Information" with the information icon and the
    // buttons OK and Cancel; true when OK was pressed.
    virtual bool AskForDisk(const std::string& /*text*/) { return false; }
};

// The process-wide user interface; the silent default until one is set.
RestoreUi& CurrentRestoreUi();
// Installs `ui` (not owned; it must outlive its use) or, with nullptr, the
// silent default again.
void SetRestoreUi(RestoreUi* ui);

}  // namespace lumora::archive
