#pragma once
// A page container (notebook): pages stacked in one place, addressed by
// their captions, one of them showing. Each page is a window of its own
// (class "TPage", its caption as window text) filling the container; the
// controls placed on a page are its child windows, so they show and hide
// with it. Containers and pages paint the button face and give their labels
// and read-only boxes that colour too.
#include <memory>
#include <string>
#include <vector>

#include "framework/WinControl.h"

namespace lumora {

class TPage : public TWinControl {
public:
    using TWinControl::TWinControl;
    const std::string& Caption() const { return Text(); }

protected:
    CreateParams Params() const override;

private:
    friend class TNotebook;
};

class TNotebook : public TWinControl {
public:
    using TWinControl::TWinControl;

    // Makes one page per caption, in this order, and shows the first. The
    // container must have its parent already; called once. Pages take the
    // container's size as they are made.
    void SetPages(const std::vector<std::string>& captions);
    // The page with this caption; throws Error when there is none.
    TPage& Page(const std::string& caption);
    const std::string& ActivePage() const { return active_; }
    // Shows the page with this caption and hides the others; throws Error
    // when there is none.
    void SetActivePage(const std::string& caption);

protected:
    CreateParams Params() const override;

private:
    std::vector<std::unique_ptr<TPage>> pages_;
    std::string active_;
};

}  // namespace lumora
