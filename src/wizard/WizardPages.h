#pragma once
// The wizard's page navigation, apart from any window system. The wizard keeps
// no state of its own: its state is the active page of its page container
// ("1" statements, "2" target folder, "4" summary, "5" finish) and the
// captions of its forward and leave buttons, and each button's handler
// decides by comparing those with fixed texts: the captions of the
// installer's language (TextId::ButtonYes and the others of
// base/UiTexts.h), those it shows. WizardView is what the
// navigation reads and changes of the wizard; the form implements it with its
// controls, tests with plain fields.
#include <string>

#include "base/UiTexts.h"

namespace lumora {

namespace page {
inline constexpr const char* kStatements = "1";
inline constexpr const char* kTargetFolder = "2";
inline constexpr const char* kSummary = "4";
inline constexpr const char* kFinish = "5";
}  // namespace page

class WizardView {
public:
    virtual ~WizardView() = default;

    virtual std::string ActivePage() const = 0;
    virtual void SetActivePage(const std::string& page) = 0;
    virtual std::string ForwardCaption() const = 0;
    virtual void SetForwardCaption(const std::string& caption) = 0;
    virtual std::string LeaveCaption() const = 0;
    virtual void SetLeaveCaption(const std::string& caption) = 0;
    // The target folder becomes the one this run installs into.
    virtual void ShowTargetFolder() = 0;
    // Writes the summary of the target folder shown now.
    virtual void FillMemoBox() = 0;
    // The installation steps, in full.
    virtual void RunInstallation() = 0;
    // Asks whether to leave the setup; true when the answer is Yes.
    virtual bool ConfirmLeave() = 0;
    virtual void ProcessMessages() = 0;
    // Tells the message loop to stop; the program ends after it.
    virtual void EndApplication() = 0;
};

// The first page as the wizard is shown, chosen by the ShowReadMe setting
// ("True" and "False" compared exactly; any other value keeps the layout's
// page "2" with the captions "&Yes" and "&No").
void OpenFirstPage(WizardView& view, const std::string& showReadMe);

// The three buttons: forward (acts on the active page), Back (acts on the
// active page and ShowReadMe), leave (acts on its own caption).
void ForwardClick(WizardView& view);
void BackClick(WizardView& view, const std::string& showReadMe);
void LeaveClick(WizardView& view);

}  // namespace lumora
