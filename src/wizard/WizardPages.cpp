#include "wizard/WizardPages.h"

#include "settings/Globals.h"

namespace lumora {

namespace {

// Page "2" with the captions of the pages after the statements.
void ShowTargetFolderPage(WizardView& view)
{
    view.SetActivePage(page::kTargetFolder);
    view.SetForwardCaption(Text(TextId::ButtonNext));
    view.SetLeaveCaption(Text(TextId::ButtonCancel));
    view.ShowTargetFolder();
}

}  // namespace

void OpenFirstPage(WizardView& view, const std::string& showReadMe)
{
    if (IsSet(showReadMe))
        view.SetActivePage(page::kStatements);
    else if (IsCleared(showReadMe))
        ShowTargetFolderPage(view);
}

void ForwardClick(WizardView& view)
{
    const std::string active = view.ActivePage();
    if (active == page::kStatements) {
        ShowTargetFolderPage(view);
    } else if (active == page::kTargetFolder) {
        view.SetActivePage(page::kSummary);
        view.FillMemoBox();
    } else if (active == page::kSummary) {
        // The final page is on the screen before the steps start, so that
        // clicks handled in the middle of them already find page "5".
        view.SetForwardCaption(Text(TextId::ButtonFinish));
        view.SetActivePage(page::kFinish);
        view.RunInstallation();
    } else if (active == page::kFinish) {
        view.EndApplication();
    }
}

void BackClick(WizardView& view, const std::string& showReadMe)
{
    const std::string active = view.ActivePage();
    if (active == page::kTargetFolder) {
        // Without a statements page there is nothing before the folder.
        if (IsCleared(showReadMe))
            return;
        view.SetActivePage(page::kStatements);
        view.SetForwardCaption(Text(TextId::ButtonYes));
        view.SetLeaveCaption(Text(TextId::ButtonNo));
    } else if (active == page::kSummary) {
        view.SetActivePage(page::kTargetFolder);
        view.FillMemoBox();
    } else if (active == page::kFinish) {
        view.SetForwardCaption(Text(TextId::ButtonNext));
        view.SetActivePage(page::kSummary);
    }
}

void LeaveClick(WizardView& view)
{
    const std::string leave = view.LeaveCaption();
    if (leave == Text(TextId::ButtonNo)) {
        view.EndApplication();
    } else if (leave == Text(TextId::ButtonCancel) && view.ConfirmLeave()) {
        view.ProcessMessages();
        view.EndApplication();
    }
}

}  // namespace lumora
