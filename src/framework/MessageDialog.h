#pragma once
// The program's modal message dialog: a caption by kind ("Error", "Warning",
// "Information", "Confirm") with the matching system icon, the requested
// buttons ("OK", "&Yes", "&No", "Cancel"), centred on the screen (not on the
// window that owns it), and a help context on every call. The captions and
// the buttons' texts are the installer's (base/UiTexts.h), in its language.
#include <cstdint>
#include <string>

#include "framework/EnumSet.h"

namespace lumora {

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel };
using TMsgDlgButtons = EnumSet<TMsgDlgBtn>;

// The button that ended a dialog (the values of IDOK, IDCANCEL, IDYES, IDNO).
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;

// The help context every dialog of this program passes; it sets no help
// file, so no help is ever shown.
constexpr std::uint32_t kDialogHelpContext = 512;

// Shows the dialog and returns the button pressed. The supported button sets
// are {mbOK}, {mbOK, mbCancel}, {mbYes, mbNo} and {mbYes, mbNo, mbCancel};
// others throw Error. The first button is the default one; on {mbYes, mbNo}
// Escape answers No. Returns mrNone when the system cannot show the box (out
// of memory).
TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                        std::uint32_t helpContext);

}  // namespace lumora
