#include "launcher/PayloadRestore.h"

#include <optional>

#include "archive/CheckRecord.h"
#include "archive/PayloadSource.h"
#include "framework/ProfileWriter.h"
#include "framework/Registry.h"
#include "framework/TextFile.h"
#include "settings/ExtractionFolder.h"
#include "base/PathEncoding.h"
#include "base/UiTexts.h"
#include "settings/Globals.h"
#include "settings/InstallScope.h"
#include "settings/ProductInfo.h"
#include "settings/RunLog.h"
#include "settings/SetupFile.h"

namespace lumora {

std::optional<ExitCode> RestorePayload(Stream& file, std::int32_t offset, std::int64_t end, std::int64_t imageEnd,
                                       archive::TBackupFile& backup, const std::function<void(const char*)>& report)
{
    try {
        CreateExtractionFolder();
    } catch (const Error& e) {
        // Without its folder the setup has none of its files: the user sees
        // the message of a missing file, the log why.
        LogFailure("extraction folder", e.what(), e.Reason());
        report(Text(TextId::MessageSettingsMissing));
        return ExitCode::RestoreFailed;
    }
    const archive::CheckRecordPlace check = archive::ReadCheckRecord(file, imageEnd, offset);
    if (check.damaged) {
        LogFailure("restore", "the check record before the payload is damaged");
        report(Text(TextId::MessageCorrupted));
        return ExitCode::PayloadDamaged;
    }
    const std::optional<archive::CheckRecord>& expected = check.record;
    // Before any name is restored or text read: how the author wrote them.
    SetAuthorEncoding(check.texts);
    // Read ahead, checked and, when solid, decompressed in the restore's
    // one pass.
    std::optional<archive::PayloadSource> payload;
    try {
        payload.emplace(file, offset, end);
    } catch (const Error& e) {
        LogFailure("restore", e.what());
        report(Text(TextId::MessageCorrupted));
        return ExitCode::PayloadDamaged;
    }
    const bool restored = backup.RestoreFromStream(&payload->Archive(), ExtractionFolder());
    // A restore that failed on a damaged payload counts as damage.
    const bool sound = payload->Matches(expected);

    // Codes 1 and 6 have been reported through OnError.
    if (const std::int32_t error = backup.ErrorCode()) {
        LogFailure("restore", archive::TBackupFile::ErrorMessage(error) + " at " + backup.CurrentFile(),
                   backup.FailureReason());
        return error == archive::kErrorCompression || !sound || payload->ReadPastEnd() ? ExitCode::PayloadDamaged
                                                                                      : ExitCode::RestoreFailed;
    }
    if (restored && sound) {
        LogStep("restore", std::to_string(backup.RestoredCount()) + " files into " + ExtractionFolder() +
                               (expected ? ", CRC-32 as recorded" : ", unchecked (no check record)") +
                               (check.texts == AuthorEncoding::Utf8 ? ", texts in UTF-8" : ""));
        return std::nullopt;
    }
    // The disk request of a volume marker, cancelled.
    if (!restored && !backup.ContinueFlag()) {
        LogStep("restore", "cancelled");
        return ExitCode::Cancelled;
    }
    LogFailure("restore", EnglishText(TextId::MessageCorrupted));
    report(Text(TextId::MessageCorrupted));
    return ExitCode::PayloadDamaged;
}

bool ReadSettingsFile()
{
    // Which file, and why: it cannot be read, or a line holds no number.
    std::string why = "Setup.ins holds no number where one belongs";
    try {
        ReadProductInfo(ReadTextFile(InExtractionFolder(kProductFile)), Product);
    } catch (const Error&) {
        // An installer built without the product's options has none.
    }
    try {
        InstallsPerUser = NamesUserScope(ReadTextFile(InExtractionFolder(kScopeFile)));
    } catch (const Error&) {
        // Nor has one for every user a Scope.ins.
    }
    try {
        if (ReadSetupSettings(ReadTextFile(InExtractionFolder("Setup.ins")), Globals)) {
            CheckPictureNames(Globals, [](const std::string& name) {
                return archive::PlatformFileSystem().FileExists(InExtractionFolder(name));
            });
            LogStep("settings", "read");
            return true;
        }
    } catch (const Error& e) {
        why = e.what();
    }
    LogFailure("settings", EnglishText(TextId::MessageSettingsMissing), why);
    return false;
}

bool WriteRandFlag()
{
    const char* const flag = IsSet(Globals.RandomPlay) ? "1" : "0";
    // Per user, where the user may write: a key of the user's registry
    // named as CONTROL.INI's section.
    const char* const place = InstallsPerUser ? "HKEY_CURRENT_USER\\Software\\Lumora Screen Saver" : "CONTROL.INI";
    try {
        // The key is what follows the root's name and its backslash.
        if (InstallsPerUser)
            TRegistryKey::Create(HKEY_CURRENT_USER, place + sizeof "HKEY_CURRENT_USER", KEY_SET_VALUE)
                .WriteString("Rand", flag);
        else
            WriteProfileString("CONTROL.INI", "Lumora Screen Saver", "Rand", flag);
        LogStep(place, std::string("Rand=") + flag);
        return true;
    } catch (const Error& e) {
        LogFailure(place, e.what());
        return false;
    }
}

}  // namespace lumora
