#pragma once
// A windowless (graphic) control: it has no window of its own and lives on
// the client area of the form it is given at construction. The form keeps
// the list of its graphic controls (see GraphicControlHost): it paints them
// after its background, routes mouse messages to the one under the pointer
// or to the one that holds the mouse capture (taken on the form's own
// window), and offers them dialog characters.
//
// A control joins its form's list when it is constructed, which may be long
// before the form's window exists, and leaves it when it is destroyed.
//
// SetBounds takes the layout's bounds, in pixels at 96 DPI; the control is
// placed at its form's DPI (DevicePixels.h), and placed anew when that
// changes. Left, Top, Width, Height and BoundsRect tell where it is now, in
// the form's client pixels.
#include <windows.h>

#include <functional>
#include <string>

#include "base/Component.h"
#include "framework/AccessibleElement.h"
#include "framework/Events.h"

namespace lumora {

class TForm;
class GraphicControlHost;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
// `x`, `y`: the pointer in the control's client coordinates.
using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;

class TGraphicControl : public TComponent {
public:
    // `parent` is also the owner; it must outlive the control or drop it
    // from its list when it goes first.
    TGraphicControl(TForm* parent, std::string name);
    ~TGraphicControl() override;

    // Null once the parent form has gone.
    TForm* Parent() const { return parent_; }

    int Left() const { return bounds_.left; }
    int Top() const { return bounds_.top; }
    int Width() const { return bounds_.right - bounds_.left; }
    int Height() const { return bounds_.bottom - bounds_.top; }
    // In the parent's client coordinates.
    const RECT& BoundsRect() const { return bounds_; }
    // In pixels at 96 DPI.
    void SetBounds(int left, int top, int width, int height);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // A disabled control gets no mouse messages from its form.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // Marks the control's rectangle for painting.
    void Invalidate();
    // Paints the control now (and whatever else of the form waits for it).
    void Repaint();
    // Whether the pointer is over the control right now, with no other
    // window in front of the form there.
    bool PointerOver() const;

    // ----- called by the parent form ---------------------------------------
    // Draws the control on the form's client area (`dc`, form coordinates).
    virtual void Paint(HDC dc) = 0;
    // Mouse input in the control's client coordinates. `doubleClick`: the
    // second press of a double click.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y, bool doubleClick);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // The pointer moved from the control to another place of the form.
    virtual void MouseLeave();
    // The window system cancelled the mouse mode, or the capture went to
    // another window while the control held it.
    virtual void CancelMode();
    // A character the user typed for the form's controls, of any script;
    // true when the control acted on it.
    virtual bool DialogChar(char32_t typed);
    // Another program has become the active one.
    virtual void ApplicationDeactivated();
    // Whether the form captures the mouse for the control while the left
    // button is held after a press on it.
    virtual bool CapturesMouse() const { return true; }
    // The form's DPI has changed: the control takes its place at the new
    // one.
    virtual void DpiChanged();
    // What accessibility clients learn of the control (see FormAccessible);
    // false: the control is no child of its form's accessible object.
    virtual bool DescribeAccessible(AccessibleElement&) const { return false; }
    // The default action an accessibility client asked for; the form runs
    // it from its message loop, as it runs a mouse click.
    virtual void DoDefaultAction() {}

protected:
    virtual void EnabledChanged() {}
    virtual void VisibleChanged() {}
    // Tells accessibility clients that the control's name has changed.
    void AccessibleNameChanged() const;
    // Puts the control at `bounds`, in the form's client pixels, as it is.
    void Place(const RECT& bounds);

private:
    friend class GraphicControlHost;
    // Puts the control at the layout's bounds at the form's DPI.
    void PlaceByLayout();
    // Invalidates `area` of the form's window; `erase`: the form's
    // background shows there.
    void InvalidateArea(const RECT& area, bool erase) const;

    TForm* parent_;
    RECT layout_{0, 0, 0, 0};  // at 96 DPI
    RECT bounds_{0, 0, 0, 0};
    bool visible_ = true;
    bool enabled_ = true;
};

}  // namespace lumora
