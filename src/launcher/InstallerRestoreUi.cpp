#include "launcher/InstallerRestoreUi.h"

#include "framework/Application.h"
#include "framework/MessageDialog.h"

namespace lumora {

void InstallerRestoreUi::ProcessMessages() { Application.ProcessMessages(); }

void InstallerRestoreUi::ShowError(const std::string& text)
{
    MessageDlg(text, mtError, {mbOK}, kDialogHelpContext);
}

bool InstallerRestoreUi::AskForDisk(const std::string& text)
{
    return MessageDlg(text, mtInformation, {mbOK, mbCancel}, kDialogHelpContext) == mrOk;
}

}  // namespace lumora
