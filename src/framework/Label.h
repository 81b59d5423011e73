#pragma once
// A label: a text on its parent's background (a system STATIC window). An
// ampersand marks the next letter as an access key and is not shown.
#include "framework/WinControl.h"

namespace lumora {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TLabel : public TWinControl {
public:
    using TWinControl::TWinControl;

    // ----- layout, read when the window is made ---------------------------
    TAlignment Alignment = taLeftJustify;
    // Left-aligned text breaks at blanks only with WordWrap; centred and
    // right-aligned text always breaks (the system's labels have no
    // single-line form of those).
    bool WordWrap = false;
    // The label takes the size of its text on one line, at creation,
    // whenever the caption changes and at a new DPI; otherwise it keeps its
    // bounds.
    bool AutoSize = false;

    const std::string& Caption() const { return Text(); }
    void SetCaption(const std::string& caption);

protected:
    CreateParams Params() const override;
    void Created() override;
    void DpiChanged() override;

private:
    void AdjustSize();
};

}  // namespace lumora
