#include "launcher/Unit1.h"

#include <optional>

#include "archive/CheckRecord.h"
#include "archive/ChecksumStream.h"
#include "framework/Application.h"
#include "framework/MessageDialog.h"
#include "framework/ProfileWriter.h"
#include "framework/TextFile.h"
#include "launcher/BackgroundPalette.h"
#include "settings/Globals.h"
#include "launcher/PayloadLocation.h"
#include "launcher/SetupEnd.h"
#include "settings/ExtractionFolder.h"
#include "settings/SetupFile.h"
#include "wizard/IntroFrm.h"

namespace lumora {

TMainForm* MainForm = nullptr;

namespace {

const char kCorruptedSetup[] =
    "Caution this setup has been corrupted this could be due to a damaged download please obtain a new copy "
    "and try again.";
const char kRestoreErrorPrefix[] = "please contact technical quoting this ref number :";

// Whether the payload's bytes, from `offset` up to `end`, are those its check
// record describes, reading on where a failed restore stopped; true without
// a record.
bool MatchesRecord(archive::ChecksumStream& payload, const std::optional<archive::CheckRecord>& expected,
                   std::int64_t offset, std::int64_t end)
{
    if (!expected)
        return true;
    if (expected->length != static_cast<std::uint64_t>(end - offset))
        return false;
    try {
        payload.Seek(end, Stream::Origin::Begin);
        return payload.Record() == *expected;
    } catch (const Error&) {
        return false;
    }
}

}  // namespace

TMainForm::TMainForm(TComponent* owner)
    : TForm(owner, "MainForm", "TMainForm"), BackupFile1(this, "BackupFile1")
{
    SetCaption("Setup Program");
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
    Font.SetCharset(ANSI_CHARSET);
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
        MessageDlg(kCorruptedSetup, mtError, {mbOK}, kDialogHelpContext);
        // No window has been shown and nothing is half done: the process
        // ends here.
        EndSetup(ExitCode::PayloadDamaged);
    }
    PayloadStream = std::move(payload->stream);
    PayloadOffset = payload->offset;
    PayloadEnd = payload->end;
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
    try {
        CreateExtractionFolder();
    } catch (const Error&) {
        // Reported as the restore reports a file it cannot create.
        BackupFile1Error(&BackupFile1, archive::kErrorCannotReadFile,
                         archive::TBackupFile::ErrorMessage(archive::kErrorCannotReadFile));
        return ExitCode::RestoreFailed;
    }
    const std::optional<archive::CheckRecord> expected = archive::ReadCheckRecord(*PayloadStream, PayloadOffset);
    PayloadStream->Seek(PayloadOffset, Stream::Origin::Begin);
    // The check value is taken as the restore reads, in the same pass.
    archive::ChecksumStream payload(*PayloadStream);
    struct RestoringFlag {
        bool& flag;
        ~RestoringFlag() { flag = false; }
    } restoring{restoring_ = true};
    const bool restored = BackupFile1.RestoreFromStream(&payload, ExtractionFolder());
    // A restore that failed on a damaged payload counts as damage.
    const bool sound = MatchesRecord(payload, expected, PayloadOffset, PayloadEnd);

    // Codes 1 and 6 have been reported through BackupFile1Error.
    if (const std::int32_t error = BackupFile1.ErrorCode())
        return error == archive::kErrorCompression || !sound ? ExitCode::PayloadDamaged : ExitCode::RestoreFailed;
    if (restored && sound)
        return std::nullopt;
    // The disk request of a volume marker, cancelled.
    if (!restored && !BackupFile1.ContinueFlag())
        return ExitCode::Cancelled;
    MessageDlg(kCorruptedSetup, mtError, {mbOK}, kDialogHelpContext);
    return ExitCode::PayloadDamaged;
}

void TMainForm::loadSetupFile()
{
    bool complete = false;
    try {
        complete = ReadSetupSettings(ReadTextFile(InExtractionFolder("Setup.ins")), Globals);
        if (complete)
            CheckPictureNames(Globals, [](const std::string& name) {
                return archive::PlatformFileSystem().FileExists(InExtractionFolder(name));
            });
    } catch (const Error&) {
        complete = false;
    }
    if (!complete)
        MessageDlg(kSettingsMissingMessage, mtError, {mbOK}, kDialogHelpContext);
    // Written on every run, also after a failure, for the screensaver to
    // read. The flag is optional like the picture: a profile that cannot be
    // written (read-only, no rights) must not keep the wizard from coming.
    try {
        WriteProfileString("CONTROL.INI", "Lumora Screen Saver", "Rand", IsSet(Globals.RandomPlay) ? "1" : "0");
    } catch (const Error&) {
    }
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
    MessageDlg(kRestoreErrorPrefix + errString, mtError, {mbOK}, kDialogHelpContext);
}

}  // namespace lumora
