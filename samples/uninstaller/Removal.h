// Removing files and the uninstall entry, and what was left behind.
#pragma once

#include <string>
#include <vector>

#include "Installation.h"

namespace lmunist {

struct Outcome {
    std::vector<std::string> notRemoved;  // files and keys still there
    std::vector<std::string> atRestart;   // files the system removes at the next restart

    bool complete() const { return notRemoved.empty() && atRestart.empty(); }
};

// Deletes a file; one that is absent counts as removed. A file in use is
// tried again for up to `retryMs` milliseconds and then left to the system
// to remove at the next restart (unless not `atRestart`), or, when even
// that fails, reported. An installation for the current user schedules
// nothing for the restart: that takes administrator rights, and the system
// keeps the list under HKEY_LOCAL_MACHINE.
void removeFile(const std::string& path, Outcome& outcome, unsigned retryMs = 0, bool atRestart = true);

// The screensaver, the information file and the uninstall entry.
void removeInstallation(const Installation& installation, Outcome& outcome);

// The folder of an installation for the current user, once the
// uninstaller has gone from it too, when nothing else is left in it.
void removeEmptyFolder(const Installation& installation);

}  // namespace lmunist
