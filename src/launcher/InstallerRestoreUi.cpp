#include "launcher/InstallerRestoreUi.h"

#include <windows.h>

#include "framework/Application.h"
#include "framework/MessageDialog.h"

namespace lumora {

void InstallerRestoreUi::ProcessMessages()
{
    const std::uint32_t now = GetTickCount();
    if (looked_ && now - lastLook_ < kLookInterval)
        return;
    looked_ = true;
    lastLook_ = now;
    Application.ProcessMessages();
}

void InstallerRestoreUi::ShowError(const std::string& text)
{
    MessageDlg(text, mtError, {mbOK}, kDialogHelpContext);
}

bool InstallerRestoreUi::AskForDisk(const std::string& text)
{
    return MessageDlg(text, mtInformation, {mbOK, mbCancel}, kDialogHelpContext) == mrOk;
}

}  // namespace lumora
