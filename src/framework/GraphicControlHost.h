#pragma once
// A form's side of its windowless controls: the list of them, the routing of
// mouse messages (hit-testing, or to the control that holds the capture),
// the capture itself (taken on the form's window, remembering the holder),
// their painting in the form's WM_PAINT, the dialog characters, and the
// form's accessible object (see FormAccessible) with the controls' default
// actions.
//
// The form hands every message to HandleMessage() first; a message the host
// does not consume goes on to the form's own handlers.
#include <windows.h>

#include <vector>

namespace lumora {

class TForm;
class TGraphicControl;

class GraphicControlHost {
public:
    explicit GraphicControlHost(TForm& form);
    // Controls that outlive the form are left without a parent.
    ~GraphicControlHost();
    GraphicControlHost(const GraphicControlHost&) = delete;
    GraphicControlHost& operator=(const GraphicControlHost&) = delete;

    void Add(TGraphicControl& control);
    void Remove(TGraphicControl& control);
    bool Empty() const { return controls_.empty(); }
    // The control that holds the mouse capture, or null.
    TGraphicControl* CaptureControl() const { return capture_; }
    // In the order they were added.
    const std::vector<TGraphicControl*>& Controls() const { return controls_; }

    // True when the message is consumed; `result` is then its result.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Places the controls anew at the form's DPI.
    void DpiChanged();
    // Offers the character to the controls in the order they were added;
    // true once one has acted on it.
    bool DialogChar(char32_t typed);
    // Has the control's default action run from the form's message loop, as
    // a mouse click would: the caller (an accessibility client) does not
    // wait for what the action does. False when it cannot be posted.
    bool PostDefaultAction(TGraphicControl& control);

private:
    bool Contains(const TGraphicControl* control) const;
    // The topmost visible, enabled control at a point of the client area.
    TGraphicControl* ControlAt(POINT point) const;
    bool MouseButtonDown(UINT message, WPARAM wParam, LPARAM lParam);
    bool MouseMove(WPARAM wParam, LPARAM lParam);
    bool MouseButtonUp(UINT message, WPARAM wParam, LPARAM lParam);
    void ReleaseMouseCapture();
    void CancelMode();
    void CaptureChanged(HWND newCapture);
    void Paint(HDC dc, const RECT& area);
    // Calls `action` for each control of a snapshot of the list, skipping
    // those that left it meanwhile (handlers may destroy controls).
    template <class Action>
    void ForEachControl(Action action);

    TForm& form_;
    std::vector<TGraphicControl*> controls_;
    TGraphicControl* capture_ = nullptr;
    // The control the last uncaptured mouse move was over.
    TGraphicControl* mouseControl_ = nullptr;
};

// Posted to a form's window by PostDefaultAction; the LPARAM is the control.
// (CM_RELEASE, of the form, is WM_APP + 0x100.)
constexpr UINT CM_DEFAULTACTION = WM_APP + 0x101;

}  // namespace lumora
