#pragma once
// What the restore component asks of the user interface: to process pending
// window messages between blocks, to show an error that no OnError handler
// takes, and to ask for the next volume of a split archive.
//
// Each platform has a default (PlatformRestoreUi): on Win32 the message boxes
// "Error" and "Information" and a PeekMessage loop; on POSIX, where the tools
// and tests run without windows, nothing is shown and every disk request is
// answered with Cancel. An application with a message loop and dialogs of its
// own gives the component its own RestoreUi instead.
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

// The default of the platform this program was built for. It lives for the
// whole process.
RestoreUi& PlatformRestoreUi();

}  // namespace lumora::archive
