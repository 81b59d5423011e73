#include "framework/Application.h"

#include <algorithm>

#include "base/ErrorBoxText.h"
#include "base/PathEncoding.h"
#include "framework/ShiftState.h"

namespace lumora {

TApplication Application;

TApplication::~TApplication() { DestroyForms(); }

void TApplication::Initialize() { terminated_ = false; }

TForm* TApplication::Adopt(std::unique_ptr<TForm> form)
{
    forms_.push_back(std::move(form));
    return forms_.back().get();
}

void TApplication::Run()
{
    if (mainForm_)
        mainForm_->Show();
    MSG message;
    while (!terminated_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            terminated_ = true;
            break;
        }
        Dispatch(message);
    }
    DestroyForms();
}

void TApplication::ProcessMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            terminated_ = true;
        else
            Dispatch(message);
    }
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::Dispatch(MSG& message)
{
    try {
        if (IsPreprocessed(message))
            return;
    } catch (...) {
        HandleException(this);
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool TApplication::IsPreprocessed(MSG& message)
{
    return IsKeyPreviewed(message) || IsMDIMessage(message) || IsDialogChar(message);
}

bool TApplication::IsKeyPreviewed(MSG& message)
{
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)
        return false;
    TForm* form = TForm::FromHandle(GetAncestor(message.hwnd, GA_ROOT));
    if (!form || !form->KeyPreview)
        return false;
    std::uint16_t key = LOWORD(message.wParam);
    form->DoKeyDown(key, KeyDataToShiftState(message.lParam));
    if (key == 0)
        return true;
    message.wParam = key;
    return false;
}

bool TApplication::IsMDIMessage(MSG& message)
{
    if (!mainForm_ || mainForm_->FormStyle != fsMDIForm || !mainForm_->ClientHandle())
        return false;
    return TranslateMDISysAccel(mainForm_->ClientHandle(), &message) != FALSE;
}

bool TApplication::IsDialogChar(const MSG& message)
{
    if (!message.hwnd)
        return false;
    if (message.message == WM_SYSCHAR) {
        // Alt+Space opens the system menu.
        if (message.wParam == ' ')
            return false;
    } else if (message.message == WM_CHAR) {
        MSG query = message;
        const LRESULT code = SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam,
                                          reinterpret_cast<LPARAM>(&query));
        if (code & DLGC_WANTCHARS)
            return false;
    } else {
        return false;
    }
    // A character beyond the BMP comes as two surrogates, neither of which
    // is an access key.
    if (message.wParam >= 0xD800 && message.wParam <= 0xDFFF)
        return false;
    // The innermost form holding the focused window: an MDI child before
    // its frame.
    for (HWND window = message.hwnd; window;
         window = (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr) {
        if (TForm* form = TForm::FromHandle(window))
            return form->DialogChar(static_cast<char32_t>(message.wParam));
    }
    return false;
}

void TApplication::HandleException(TObject*) noexcept
{
    try {
        throw;
    } catch (const std::exception& e) {
        ShowException(e.what());
    } catch (...) {
        ShowException("Exception of unknown type");
    }
}

void TApplication::ShowException(const std::string& message) noexcept
{
    try {
        const std::string text = ErrorBoxText(message);
        // Task-modal: with no active window of ours, every window of the
        // thread is disabled while the box is up.
        MessageBoxW(GetActiveWindow(), WideText(text).c_str(), WideText(Title).c_str(),
                    MB_OK | MB_ICONERROR | MB_TASKMODAL);
    } catch (...) {
        // Out of memory while building the text: there is nothing left to show.
    }
}

std::string TApplication::ExeName() const
{
    std::wstring path(MAX_PATH, L'\0');
    // The longest Win32 path has 32767 characters.
    while (path.size() <= 32768) {
        SetLastError(NO_ERROR);
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size() && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            path.resize(length);
            return PathFromWide(path);
        }
        path.resize(path.size() * 2);
    }
    return {};
}

void TApplication::FreeForm(TForm* form)
{
    const auto find = [this, form] {
        return std::find_if(forms_.begin(), forms_.end(),
                            [form](const std::unique_ptr<TForm>& f) { return f.get() == form; });
    };
    if (find() == forms_.end())
        return;
    form->DoDestroy();
    // The handler may have freed forms itself; look again.
    const auto found = find();
    if (found == forms_.end())
        return;
    if (form == mainForm_)
        mainForm_ = nullptr;
    // Out of the list before it goes, so that its destruction never meets a
    // list in the middle of a change.
    std::unique_ptr<TForm> owned = std::move(*found);
    forms_.erase(found);
    owned.reset();
}

void TApplication::DestroyForms()
{
    while (!forms_.empty())
        FreeForm(forms_.back().get());
    mainForm_ = nullptr;
}

}  // namespace lumora
