#pragma once
// The application object: owns the forms, runs the message loop and shows the
// standard error box. One instance, `Application`, on the user-interface
// thread.
//
// The message loop offers each message to the program before dispatching it:
//  1. key preview: WM_KEYDOWN and WM_SYSKEYDOWN go first to the OnKeyDown of
//     the form whose window tree holds the target window, if that form has
//     KeyPreview on; a key set to 0 there is not dispatched at all;
//  2. the MDI system keys of the main form's MDI client (TranslateMDISysAccel);
//  3. dialog characters: WM_SYSCHAR (Alt held) but for the space bar, and
//     WM_CHAR when the focused window takes no characters (WM_GETDLGCODE
//     without DLGC_WANTCHARS), go to the windowless controls of the nearest
//     form around the focused window; a character one acts on is not
//     dispatched.
// Further preprocessing belongs in IsPreprocessed().
#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "base/Component.h"
#include "framework/Form.h"

namespace lumora {

class TApplication : public TComponent {
public:
    TApplication() : TComponent(nullptr, "Application") {}
    ~TApplication() override;

    // Caption of the standard error box.
    std::string Title;

    // Prepares a run: forgets an earlier request to terminate.
    void Initialize();

    // Constructs a T (owned by the application), stores it in `reference`,
    // runs its OnCreate; the first form created becomes the main form and
    // gets its window. An MDI child is shown at once (its OnShow runs).
    template <class T>
    void CreateForm(T*& reference);

    TForm* MainForm() const { return mainForm_; }

    // Shows the main form (its OnShow runs before it is drawn), then handles
    // messages until the application is asked to terminate; frees the forms
    // at the end.
    void Run();
    // Handles the messages now queued and returns when the queue is empty.
    void ProcessMessages();
    // Asks the message loop to end (a quit message); Terminated() turns true
    // once the loop has received it.
    void Terminate();
    bool Terminated() const { return terminated_; }

    // Reports the exception being handled (call it inside a catch block) with
    // the standard error box. Never throws.
    void HandleException(TObject* sender) noexcept;
    // The standard error box: the message closed with a full stop (see
    // ErrorBoxText), the Title as caption, the error icon and OK.
    void ShowException(const std::string& message) noexcept;

    // The full path of the running program's file, as path text
    // (base/PathEncoding.h).
    std::string ExeName() const;

    // Runs the form's OnDestroy, then frees it and its window.
    void FreeForm(TForm* form);
    // Frees every form, the last created first.
    void DestroyForms();

private:
    TForm* Adopt(std::unique_ptr<TForm> form);
    void Dispatch(MSG& message);
    bool IsPreprocessed(MSG& message);
    bool IsKeyPreviewed(MSG& message);
    bool IsMDIMessage(MSG& message);
    bool IsDialogChar(const MSG& message);

    std::vector<std::unique_ptr<TForm>> forms_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
};

extern TApplication Application;

template <class T>
void TApplication::CreateForm(T*& reference)
{
    static_assert(std::is_base_of_v<TForm, T>, "CreateForm makes forms");
    auto form = std::make_unique<T>(this);
    reference = form.get();
    TForm* created = Adopt(std::move(form));
    created->DoCreate();
    if (!mainForm_) {
        created->HandleNeeded();
        mainForm_ = created;
    } else if (created->FormStyle == fsMDIChild) {
        created->Show();
    }
}

}  // namespace lumora
