// What the uninstaller says. Every box has the caption B + " Uninstall",
// the name of the screensaver's entry in the list of installed programs.
#pragma once

#include <string>

#include "Installation.h"
#include "Removal.h"

namespace lmunist {

std::string captionText(const Installation& installation);

// The question before anything is removed (Yes/No).
std::string confirmText(const Installation& installation);

// Shown instead of the question when nothing of the screensaver is there.
std::string nothingInstalledText(const Installation& installation);

// The closing report: everything removed, or a list of what was not.
std::string reportText(const Installation& installation, const Outcome& outcome);

}  // namespace lmunist
