#pragma once
// A group box: a frame with a title around other controls (a system BUTTON
// window of the group-box style), which are placed in it with SetParent.
#include "framework/WinControl.h"

namespace lumora {

class TGroupBox : public TWinControl {
public:
    using TWinControl::TWinControl;

    const std::string& Caption() const { return Text(); }
    void SetCaption(const std::string& caption) { SetText(caption); }

protected:
    CreateParams Params() const override { return {L"BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN, 0}; }
};

}  // namespace lumora
