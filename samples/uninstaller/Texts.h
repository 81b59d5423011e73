// What the uninstaller says, in the user's language when the packing tool
// gave it the installer's translated tables, else in English. Every box
// has the caption "<name> Uninstall" (translated), the name being the
// product's, where the installer was given one, else B.
#pragma once

#include <string>

#include "Installation.h"
#include "Removal.h"

namespace lmunist {

// Chooses the texts once, at start: the table of the user's language among
// those in this program's resources, else of its primary language, else
// English, as the installer chooses.
void chooseLanguage();

std::string captionText(const Installation& installation);

// The question before anything is removed (Yes/No).
std::string confirmText(const Installation& installation);

// Shown instead of the question when nothing of the screensaver is there.
std::string nothingInstalledText(const Installation& installation);

// The closing report: everything removed, or a list of what was not.
std::string reportText(const Installation& installation, const Outcome& outcome);

}  // namespace lmunist
