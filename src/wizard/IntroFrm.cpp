#include "wizard/IntroFrm.h"

#include "base/PathEncoding.h"
#include "base/UiTexts.h"
#include "framework/Application.h"
#include "framework/MessageDialog.h"
#include "framework/Win32Error.h"
#include "settings/Globals.h"
#include "settings/ProductInfo.h"
#include "wizard/EarlierInstallation.h"
#include "wizard/InstallSteps.h"
#include "wizard/UninstallRegistry.h"
#include "wizard/WizardSummary.h"

namespace lumora {

TSetupWiz* SetupWiz = nullptr;

TSetupWiz::TSetupWiz(TComponent* owner) : TForm(owner, "SetupWiz", "TSetupWiz")
{
    SetCaption(Text(TextId::WizardCaption));
    BorderStyle = bsSingle;
    BorderIcons = {};
    ClientWidth = 402;
    ClientHeight = 275;
    FormStyle = fsMDIChild;
    Font.SetName("MS Sans Serif");
    Font.SetSize(8);
    OnShow = Handler(this, &TSetupWiz::FormShow);
    OnClose = Handler(this, &TSetupWiz::FormClose);
    OnDpiChange = Handler(this, &TSetupWiz::FormDpiChange);

    // Placing the container makes the form's window, so the layout above is
    // complete by then.
    Pages.SetBounds(0, 0, 401, 241);
    Pages.SetParent(*this);
    Pages.SetPages({page::kStatements, page::kTargetFolder, page::kSummary, page::kFinish});

    TPage& statements = Pages.Page(page::kStatements);
    Label3.WordWrap = true;
    Label3.SetBounds(8, 8, 385, 41);
    Label3.SetCaption(Text(TextId::WizardStatements));
    Label3.SetParent(statements);
    Memo1.ScrollBars = ssVertical;
    Memo1.SetBounds(8, 64, 385, 177);
    Memo1.SetParent(statements);

    TPage& folder = Pages.Page(page::kTargetFolder);
    Label5.WordWrap = Translated();  // one line in English; a translation wraps (below)
    Label5.SetBounds(9, 16, 383, 13);
    Label5.SetCaption(Text(TextId::WizardDefaultFolder));
    Label5.SetParent(folder);
    GroupBox1.SetBounds(8, 192, 385, 41);
    GroupBox1.SetCaption(Text(TextId::WizardPathBox));
    GroupBox1.SetParent(folder);
    Label4.WordWrap = true;
    Label4.SetBounds(7, 17, 370, 14);
    Label4.SetCaption("Test File");
    Label4.SetParent(GroupBox1);

    TPage& summary = Pages.Page(page::kSummary);
    Label9.AutoSize = true;
    Label9.SetBounds(8, 8, 0, 0);
    Label9.SetCaption(Text(TextId::WizardConfigured));
    Label9.SetParent(summary);
    Memo2.SetBounds(8, 32, 385, 201);
    Memo2.SetParent(summary);

    TPage& finish = Pages.Page(page::kFinish);
    Label8.Alignment = taCenter;
    Label8.WordWrap = true;
    Label8.SetBounds(8, 8, 385, 33);
    Label8.SetCaption(Text(TextId::WizardFinishText));
    Label8.SetParent(finish);

    // A translated text may be longer than the English one its label was
    // laid out for: it wraps within the room the page leaves below it
    // (Label3 down to the memo, Label5 down to the group box, Label8 on a
    // page of its own).
    const bool translated = Translated();
    if (translated) {
        Label3.SetBounds(8, 8, 385, 54);
        Label5.SetBounds(9, 16, 383, 52);
        Label8.SetBounds(8, 8, 385, 78);
    }

    Pages.SetActivePage(page::kTargetFolder);

    // Translated captions are those of Windows' own buttons, which are
    // wider (the German "Finish", the Japanese "Cancel" with its letter): the
    // buttons grow into the room beside them.
    ToolbarButton971.SetBounds(translated ? 134 : 144, 247, translated ? 77 : 67, 26);
    ToolbarButton971.SetCaption(Text(TextId::ButtonBack));
    ToolbarButton971.Flat = false;
    ToolbarButton971.OnClick = Handler(this, &TSetupWiz::ToolbarButton971Click);
    ToolbarButton972.SetBounds(212, 247, translated ? 77 : 65, 26);
    ToolbarButton972.SetCaption(Text(TextId::ButtonYes));
    ToolbarButton972.Flat = false;
    ToolbarButton972.OnClick = Handler(this, &TSetupWiz::ToolbarButton972Click);
    ToolbarButton973.SetBounds(translated ? 307 : 329, 247, translated ? 87 : 65, 26);
    ToolbarButton973.SetCaption(Text(TextId::ButtonNo));
    ToolbarButton973.Flat = false;
    ToolbarButton973.OnClick = Handler(this, &TSetupWiz::ToolbarButton973Click);
}

TSetupWiz::~TSetupWiz()
{
    if (SetupWiz == this)
        SetupWiz = nullptr;
}

void TSetupWiz::FormShow(TObject*)
{
    CenterMe();
    OpenFirstPage(*this, Globals.ShowReadMe);
}

void TSetupWiz::FormClose(TObject*, TCloseAction& action) { action = caFree; }

void TSetupWiz::FormDpiChange(TObject*) { CenterMe(); }

void TSetupWiz::ToolbarButton971Click(TObject*) { BackClick(*this, Globals.ShowReadMe); }

void TSetupWiz::ToolbarButton972Click(TObject*) { ForwardClick(*this); }

void TSetupWiz::ToolbarButton973Click(TObject*) { LeaveClick(*this); }

void TSetupWiz::FillMemoBox()
{
    Memo2.SetLines(SummaryLines(Label4.Caption(), InstalledProductVersion(Globals.ScreenSaverFile, Label4.Caption()),
                                AuthorText(Product.Version)));
}

void TSetupWiz::CenterMe()
{
    RECT outer{};
    if (!GetWindowRect(Handle(), &outer))
        RaiseLastOSError("Cannot read the size of the wizard");
    const int left = CentredOrigin(GetSystemMetrics(SM_CXSCREEN), outer.right - outer.left);
    const int top = CentredOrigin(GetSystemMetrics(SM_CYSCREEN), outer.bottom - outer.top);
    // An MDI child's position counts from the MDI client's client area.
    if (!SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
        RaiseLastOSError("Cannot move the wizard");
}

void TSetupWiz::WriteUninstallRegistry()
{
    WriteUninstallEntry(Globals.ScreenSaverFile, Label4.Caption(), Product);
}

std::string TSetupWiz::ActivePage() const { return Pages.ActivePage(); }

void TSetupWiz::SetActivePage(const std::string& page) { Pages.SetActivePage(page); }

std::string TSetupWiz::ForwardCaption() const { return ToolbarButton972.Caption(); }

void TSetupWiz::SetForwardCaption(const std::string& caption) { ToolbarButton972.SetCaption(caption); }

std::string TSetupWiz::LeaveCaption() const { return ToolbarButton973.Caption(); }

void TSetupWiz::SetLeaveCaption(const std::string& caption) { ToolbarButton973.SetCaption(caption); }

void TSetupWiz::ShowTargetFolder() { Label4.SetCaption(InstallTargetFolder()); }

void TSetupWiz::RunInstallation()
{
    // "No" to an older version over a newer one ends the setup with
    // nothing changed.
    if (!AcceptsVersion(Label4.Caption(), false, false)) {
        EndApplication();
        return;
    }
    RunInstallationSteps(Label4.Caption(), [this] { WriteUninstallRegistry(); });
}

bool TSetupWiz::ConfirmLeave()
{
    return MessageDlg(Text(TextId::MessageLeave), mtWarning, {mbYes, mbNo}, kDialogHelpContext) == mrYes;
}

void TSetupWiz::ProcessMessages() { Application.ProcessMessages(); }

void TSetupWiz::EndApplication() { Application.Terminate(); }

}  // namespace lumora
