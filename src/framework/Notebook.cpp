#include "framework/Notebook.h"

#include "base/Error.h"
#include "base/PathEncoding.h"
#include "framework/Win32Error.h"

namespace lumora {

namespace {

// The colours a container gives the static controls on it (labels, group
// boxes, read-only edit boxes): its own button-face background.
LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t* ContainerClass(const wchar_t* name)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(instance, name, &wc))
        return name;
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ContainerProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    if (!RegisterClassExW(&wc))
        RaiseLastOSError("Cannot register the window class " + TextFromWide(name));
    return name;
}

}  // namespace

// A page erases its background under its controls too: a group box paints
// only its frame and title, and without that the pixels of the page shown
// before would stay inside it.
TWinControl::CreateParams TPage::Params() const { return {ContainerClass(L"TPage"), 0, 0}; }

TWinControl::CreateParams TNotebook::Params() const
{
    return {ContainerClass(L"TNotebook"), WS_CLIPCHILDREN, 0};
}

void TNotebook::SetPages(const std::vector<std::string>& captions)
{
    if (!pages_.empty())
        throw Error("The pages of " + Name() + " are set already");
    for (const std::string& caption : captions) {
        auto page = std::make_unique<TPage>(this, caption);
        page->SetText(caption);
        page->SetBounds(0, 0, Width(), Height());
        page->SetVisible(pages_.empty());
        page->SetParent(*this);
        pages_.push_back(std::move(page));
    }
    if (!pages_.empty())
        active_ = pages_.front()->Caption();
}

TPage& TNotebook::Page(const std::string& caption)
{
    for (const auto& page : pages_) {
        if (page->Caption() == caption)
            return *page;
    }
    throw Error(Name() + " has no page \"" + caption + "\"");
}

void TNotebook::SetActivePage(const std::string& caption)
{
    TPage& shown = Page(caption);
    // The new page shows before the old one hides, so the container's
    // background never flashes between them.
    shown.SetVisible(true);
    for (const auto& page : pages_) {
        if (page.get() != &shown)
            page->SetVisible(false);
    }
    active_ = caption;
}

}  // namespace lumora
