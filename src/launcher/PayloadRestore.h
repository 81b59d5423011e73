#pragma once
// The start of every run, with or without windows: the payload restored
// into a new extraction folder and checked as it is read, then the settings
// read from there and the Rand flag written. Each step says how it failed
// through the function given, which shows a message or writes the log.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "archive/backup.h"
#include "base/Error.h"
#include "base/Stream.h"
#include "settings/ExitCodes.h"

namespace lumora {

// Restores the payload that lies in `file` from `offset` up to `end`, behind
// a program image that ends at `imageEnd` (its check record between them),
// with `backup` into a new extraction folder, taking its check value in the
// same pass. Empty when the payload is in place, whole and sound; otherwise the
// run's exit code, the failure reported through `backup`'s OnError (codes 1
// and 6) or `report` (a folder that cannot be made, a damaged payload), in
// the user's language; the log says it in English.
std::optional<ExitCode> RestorePayload(Stream& file, std::int32_t offset, std::int64_t end, std::int64_t imageEnd,
                                       archive::TBackupFile& backup, const std::function<void(const char*)>& report);

// Reads Setup.ins of the extraction folder into the settings and settles
// which picture the backdrop uses; false when it cannot be read in full
// (the fields read before the failure keep their values). Reads
// Product.ins and Scope.ins too, when the payload has them, into Product
// and InstallsPerUser (settings/InstallScope.h).
bool ReadSettingsFile();
// Writes the screensaver's Rand flag into CONTROL.INI, or, installing for
// the current user only, as the value Rand of the key "Software\Lumora
// Screen Saver" of HKEY_CURRENT_USER; false when it cannot be written.
bool WriteRandFlag();

}  // namespace lumora
