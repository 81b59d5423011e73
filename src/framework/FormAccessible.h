#pragma once
// The accessible object (MSAA IAccessible) of the client area of a form
// with windowless controls. Accessibility clients (screen readers, voice
// control, UI automation) ask a window for it with WM_GETOBJECT; the
// system's standard object knows only child windows, so it would show none
// of those controls. This object is the standard one with one more child per
// windowless control that describes itself (TGraphicControl::
// DescribeAccessible): children 1 to N are the form's child windows, each
// with the system's own object; N + 1 onwards the controls, in their visual
// order (top to bottom, then left to right), as simple elements with a
// name, role, states, keyboard shortcut, place and default action. The
// default action runs later, from the form's message loop (see
// GraphicControlHost::PostDefaultAction).
//
// Calls from other programs arrive on the user-interface thread through its
// message loop: the thread enters a single-threaded COM apartment when it
// first hands out the object.
#include <windows.h>

namespace lumora {

class TForm;
class TGraphicControl;

// Answers WM_GETOBJECT for the form's client area; false, for the form's
// default handler to answer, when the form has no control that describes
// itself or another object is asked for.
bool AnswerGetObject(TForm& form, WPARAM wParam, LPARAM lParam, LRESULT& result);

// Raises the name-change event of the control's element, so a screen reader
// speaks its new name.
void NotifyAccessibleNameChange(TForm& form, const TGraphicControl& control);

}  // namespace lumora
