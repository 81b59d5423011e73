#include "launcher/Unit1.h"

#include <optional>

#include "base/UiTexts.h"
#include "framework/Application.h"
#include "framework/MessageDialog.h"
#include "launcher/BackgroundPalette.h"
#include "settings/Globals.h"
#include "launcher/PayloadLocation.h"
#include "launcher/PayloadRestore.h"
#include "launcher/SetupEnd.h"
#include "settings/ExtractionFolder.h"
#include "settings/SetupFile.h"
#include "wizard/IntroFrm.h"

namespace lumora {

TMainForm* MainForm = nullptr;

TMainForm::TMainForm(TComponent* owner)
    : TForm(owner, "MainForm", "TMainForm"), BackupFile1(this, "BackupFile1")
{
    SetCaption(Text(TextId::MainCaption));
    BorderStyle = bsSingle;
    BorderIcons = {biSystemMenu};
    ClientWidth = 430;
    ClientHeight = 316;
    Position = poScreenCenter;
    WindowState = wsMaximized;
    FormStyle = fsMDIForm;
    KeyPreview = true;
    SetColor(clBtnFace);
    Font.SetName("Arial");
    Font.SetHeight(-13);
    Font.SetStyle({fsBold});
    // The title and the footer are the author's texts, in any script: the
    // default character set matches the face to the system's code page, not
    // to the Western one (on a Western system, the same font).
    Font.SetCharset(DEFAULT_CHARSET);
    Font.SetColor(clWindowText);

    OnCreate = Handler(this, &TMainForm::FormCreate);
    OnShow = Handler(this, &TMainForm::FormShow);
    OnClose = Handler(this, &TMainForm::FormClose);
    OnDestroy = Handler(this, &TMainForm::FormDestroy);
    OnKeyDown = Handler(this, &TMainForm::FormKeyDown);
    OnResize = Handler(this, &TMainForm::FormResize);

    // Makes the window, with the layout above, to take over its MDI client.
    MDIArea = std::make_unique<TMDIArea>(this);
    MDIArea->SetBevel(false);
    MDIArea->OnPaint = Handler(this, &TMainForm::MDIAreaPaint);

    // The layout keeps the component's fresh settings (rmAll into the folder,
    // no full paths) but for the writer setting CompressionLevel.
    BackupFile1.SetCompressionLevel(archive::clNone);
    BackupFile1.SetUserInterface(&restoreUi_);
    BackupFile1.OnError = Handler(this, &TMainForm::BackupFile1Error);
}

void TMainForm::FormCreate(TObject*)
{
    std::optional<PayloadLocation> payload = LocatePayload(Application.ExeName());
    if (!payload) {
        MessageDlg(Text(TextId::MessageCorrupted), mtError, {mbOK}, kDialogHelpContext);
        // No window has been shown and nothing is half done: the process
        // ends here.
        EndSetup(ExitCode::PayloadDamaged);
    }
    PayloadStream = std::move(payload->stream);
    PayloadOffset = payload->offset;
    PayloadEnd = payload->end;
    PayloadImageEnd = payload->imageEnd;
    BackgroundPalette = MakeBackgroundPalette();
}

// Runs before the window is first drawn. The order matters: the settings come
// from a restored file, and the wizard's first page depends on the settings.
// Without the whole, sound payload nothing is shown and nothing installed.
void TMainForm::FormShow(TObject*)
{
    if (const std::optional<ExitCode> failure = ExtractFiles())
        EndSetup(*failure);
    Application.ProcessMessages();
    loadSetupFile();
    CreateWizard();
}

std::optional<ExitCode> TMainForm::ExtractFiles()
{
    struct RestoringFlag {
        bool& flag;
        ~RestoringFlag() { flag = false; }
    } restoring{restoring_ = true};
    return RestorePayload(*PayloadStream, PayloadOffset, PayloadEnd, PayloadImageEnd, BackupFile1, [](const char* text) {
        MessageDlg(text, mtError, {mbOK}, kDialogHelpContext);
    });
}

void TMainForm::loadSetupFile()
{
    if (!ReadSettingsFile())
        MessageDlg(Text(TextId::MessageSettingsMissing), mtError, {mbOK}, kDialogHelpContext);
    // Written on every run, also after a failure, for the screensaver to
    // read. The flag is optional like the picture: a profile that cannot be
    // written (read-only, no rights) must not keep the wizard from coming.
    WriteRandFlag();
}

void TMainForm::CreateWizard()
{
    // The wizard shows itself as it is made; its FormShow chooses the first
    // page, which the read-me then fills.
    Application.CreateForm(SetupWiz);
    if (IsSet(Globals.ShowReadMe))
        loadReadMe();
}

void TMainForm::loadReadMe()
{
    try {
        SetupWiz->Memo1.LoadLinesFromFile(InExtractionFolder(Globals.ReadMeFile));
    } catch (const std::exception&) {
        // The read-me is optional: without it the memo keeps its lines.
    }
}

void TMainForm::FormClose(TObject*, TCloseAction& action)
{
    // A close that arrives while the restore processes messages leaves the
    // stream to the restore; it is freed with the form.
    if (!restoring_)
        PayloadStream.reset();
    action = caFree;
    Application.Terminate();
}

void TMainForm::FormDestroy(TObject*)
{
    BackgroundPalette.Reset();
    Picture.reset();
}

void TMainForm::FormKeyDown(TObject*, std::uint16_t& key, TShiftState shift)
{
    // Alt+F4 would close the window in the middle of the setup.
    if (key == VK_F4 && shift.Contains(ssAlt))
        key = 0;
}

void TMainForm::FormResize(TObject*)
{
    Repaint();
    // The backdrop on the MDI client is laid out by this window's size: it
    // is drawn anew as a whole, not only where the resize uncovered it.
    if (ClientHandle())
        RedrawWindow(ClientHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

LRESULT TMainForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // When the user's session ends, Windows ends the process without the
    // program's own ending: the extraction folder goes now.
    if (message == WM_ENDSESSION && wParam)
        RemoveExtractionFolder();
    return TForm::WndProc(message, wParam, lParam);
}

void TMainForm::BackupFile1Error(TObject*, std::int32_t, const std::string& errString)
{
    MessageDlg(Text(TextId::MessageRestoreError) + errString, mtError, {mbOK}, kDialogHelpContext);
}

}  // namespace lumora
