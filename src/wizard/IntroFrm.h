#pragma once
// The setup wizard (unit IntroFrm): an MDI child of the main window with a
// page container and three push buttons. Its pages: "1" the statements with
// the read-me text, "2" the target folder, "4" the summary, "5" the finish.
// Navigation follows WizardPages; the form supplies its controls to it. The
// target folder lives only as the text of Label4 (path text).
#include <string>

#include "controls/TB97.h"
#include "framework/Form.h"
#include "framework/GroupBox.h"
#include "framework/Label.h"
#include "framework/Memo.h"
#include "framework/Notebook.h"
#include "wizard/WizardPages.h"

namespace lumora {

class TSetupWiz : public TForm, private WizardView {
public:
    // Makes the window inside the main form's MDI client; the main form
    // must exist.
    explicit TSetupWiz(TComponent* owner);
    ~TSetupWiz() override;

    void FormShow(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
    // Laid out at a new DPI: centred again.
    void FormDpiChange(TObject* sender);
    void ToolbarButton971Click(TObject* sender);  // Back
    void ToolbarButton972Click(TObject* sender);  // forward
    void ToolbarButton973Click(TObject* sender);  // leave

    // Writes the summary of the target folder into Memo2.
    void FillMemoBox() override;
    // Centres the wizard's window on the screen's size, as its place in the
    // main window's client area.
    void CenterMe();
    // Enters the installed screensaver in the system's uninstall list.
    void WriteUninstallRegistry();

    TNotebook Pages{this, "Pages"};
    TLabel Label3{this, "Label3"};
    TMemo Memo1{this, "Memo1"};
    TLabel Label5{this, "Label5"};
    TGroupBox GroupBox1{this, "GroupBox1"};
    TLabel Label4{this, "Label4"};
    TLabel Label9{this, "Label9"};
    TMemo Memo2{this, "Memo2"};
    TLabel Label8{this, "Label8"};
    TToolbarButton97 ToolbarButton971{this, "ToolbarButton971"};
    TToolbarButton97 ToolbarButton972{this, "ToolbarButton972"};
    TToolbarButton97 ToolbarButton973{this, "ToolbarButton973"};

private:
    // WizardView: the pages, the captions of ToolbarButton972 (forward) and
    // ToolbarButton973 (leave), Label4, the confirmation and the end.
    std::string ActivePage() const override;
    void SetActivePage(const std::string& page) override;
    std::string ForwardCaption() const override;
    void SetForwardCaption(const std::string& caption) override;
    std::string LeaveCaption() const override;
    void SetLeaveCaption(const std::string& caption) override;
    void ShowTargetFolder() override;
    void RunInstallation() override;
    bool ConfirmLeave() override;
    void ProcessMessages() override;
    void EndApplication() override;
};

// The one wizard, made by the main form at start-up; null before and after.
extern TSetupWiz* SetupWiz;

}  // namespace lumora
