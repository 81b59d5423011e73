#pragma once
// TMDIArea: a windowless control on an MDI frame form that takes over the
// background painting of the form's MDI client window (the system window
// that holds the MDI children) and hands it to its OnPaint event.
//
// It fills the form's client area (Align alClient). It replaces the MDI
// client's window procedure for its whole life and puts the previous one
// back when it goes:
//   WM_ERASEBKGND        the previous procedure erases, then PaintClient
//                        paints on the message's device context; answer 0
//   WM_WINDOWPOSCHANGING the client window is kept to the control's bounds,
//                        2 pixels in from each side with Bevel on; not
//                        passed on; answer 0
//   WM_HSCROLL, WM_VSCROLL passed on, then the whole client window is
//                        invalidated and erased, so the backdrop is drawn
//                        anew instead of scrolled
//   anything else        passed on
// With Bevel on, the control itself shows in that 2-pixel gap around the
// client window, as a sunken edge.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "framework/Canvas.h"
#include "framework/Color.h"
#include "framework/Form.h"
#include "framework/GraphicControl.h"
#include "framework/WindowSubclass.h"

namespace lumora {

enum TAlign { alNone, alClient };

// `canvas` draws on the MDI client window; `clientRect` is that window's
// client rectangle.
using TMDIPaint = std::function<void(TObject* sender, TCanvas& canvas, const RECT& clientRect)>;

class TMDIArea : public TGraphicControl {
public:
    // `owner` must be a form with FormStyle fsMDIForm; otherwise Error. The
    // form's window is made here if it does not exist yet.
    explicit TMDIArea(TComponent* owner, std::string name = "MDIArea");
    ~TMDIArea() override;

    TAlign Align() const { return alClient; }
    bool Bevel() const { return bevel_; }
    void SetBevel(bool bevel);
    TColor BackgroundColor() const { return backgroundColor_; }
    void SetBackgroundColor(TColor color);

    // Called after each background fill of the MDI client window.
    TMDIPaint OnPaint;

    // The control's own surface on the form: the sunken edge with Bevel on.
    void Paint(HDC dc) override;
    // Fills the form's client area whatever its DPI.
    void DpiChanged() override { AlignToParent(); }

protected:
    // Paints the MDI client window's background on `dc`: PaintBackground,
    // then OnPaint.
    virtual void PaintClient(HDC dc);
    // Fills `rect` with BackgroundColor.
    virtual void PaintBackground(TCanvas& canvas, const RECT& rect);

private:
    LRESULT ClientWndProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT WMWindowPosChanging(WINDOWPOS& position);
    HWND ClientWindow() const;
    // Takes the form's client rectangle as the control's bounds.
    void AlignToParent();

    TCanvas clientCanvas_;
    bool bevel_ = true;
    TColor backgroundColor_ = clAppWorkSpace;
    // The MDI client's window procedure replaced; the previous one is kept
    // in it and put back when it goes.
    std::optional<WindowSubclass> clientProcedure_;
};

}  // namespace lumora
