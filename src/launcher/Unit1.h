#pragma once
// The main window: a maximised MDI frame that owns the open installer file
// (positioned at the payload) and the backdrop's palette, and that, as it is
// first shown, has the payload restored, the settings read and the wizard
// created inside it.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "archive/backup.h"
#include "framework/Canvas.h"
#include "framework/FileStream.h"
#include "framework/Form.h"
#include "framework/Handles.h"
#include "framework/JpegImage.h"
#include "launcher/InstallerRestoreUi.h"
#include "launcher/MDIArea.h"
#include "settings/ExitCodes.h"

namespace lumora {

class TMainForm : public TForm {
public:
    explicit TMainForm(TComponent* owner);

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
    void FormDestroy(TObject* sender);
    void FormKeyDown(TObject* sender, std::uint16_t& key, TShiftState shift);
    void FormResize(TObject* sender);
    void BackupFile1Error(TObject* sender, std::int32_t error, const std::string& errString);
    // Draws the backdrop on the MDI client window (MainFormBackdrop.cpp).
    void MDIAreaPaint(TObject* sender, TCanvas& ACanvas, const RECT& AClientRect);

    // Restores the payload from PayloadStream into a new extraction folder
    // and checks it against its check record. Empty when the payload is in
    // place, whole and sound; otherwise the failure has been reported and
    // the run ends with the code given.
    std::optional<ExitCode> ExtractFiles();
    // Reads Setup.ins into the setup settings.
    void loadSetupFile();
    // Fills the wizard's statements memo from the read-me file, if it can.
    void loadReadMe();

    HPALETTE GetPalette() override { return BackgroundPalette.Get(); }

    // Restores the payload into the extraction folder.
    archive::TBackupFile BackupFile1;
    // Paints the backdrop through MDIAreaPaint; made in the constructor, once
    // the layout says that the form is an MDI frame.
    std::unique_ptr<TMDIArea> MDIArea;

    GdiObject<HPALETTE> BackgroundPalette;
    // The backdrop's picture, loaded anew at every paint.
    std::unique_ptr<TJPEGImage> Picture;
    // Where Picture is drawn; zero until a picture has been loaded.
    RECT PictureRect{};
    // The installer's own file, open from FormCreate to FormClose.
    std::unique_ptr<TFileStream> PayloadStream;
    // The payload trailer's value: where the payload starts in the file.
    std::int32_t PayloadOffset = 0;
    // Where the trailer itself lies, the end of the payload.
    std::int64_t PayloadEnd = 0;
    // Where the program image ends, before the payload's check record.
    std::int64_t PayloadImageEnd = -1;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    InstallerRestoreUi restoreUi_;
    // True while BackupFile1 reads from PayloadStream; the stream must not
    // be freed under it.
    bool restoring_ = false;
    // Creates the wizard inside this window; it opens on the page the
    // settings choose.
    void CreateWizard();
};

extern TMainForm* MainForm;

}  // namespace lumora
