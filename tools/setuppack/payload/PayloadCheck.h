#pragma once
// The checks that build, verify and settings make on a whole payload before
// an installer meets a user: its Setup.ins as the installer reads it
// (SettingsRules.h), and the files that the settings and the installation
// name: the screensaver, the uninstaller Lmunist.exe, the read-me when it is
// shown, and the backdrop's picture, decoded by the installer's own JPEG
// decoder; and the author's product in Product.ins and the installation's
// scope in Scope.ins, when the payload has them (ProductRules.h,
// ScopeRules.h). A missing Install.exe, which the installer does without,
// and a picture larger than a common screen are warnings.
#include "author/CodePage.h"
#include "author/Findings.h"
#include "input/PayloadFiles.h"

namespace setuppack {

// Texts and names that are no text in `codePage` are warnings: the
// installer, on a system of that code page, would show other letters.
Findings CheckPayload(const PayloadFiles& payload, const CodePage& codePage);

// Checks the payload of the installer that build is about to write and
// prints what it finds. True when it may be written: no problem was found,
// or `force` makes the problems warnings, which it does for all but those
// never to be forced (Findings.h).
bool PassesPayloadChecks(const PayloadFiles& payload, const CodePage& codePage, bool force);

}  // namespace setuppack
