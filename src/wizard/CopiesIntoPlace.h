#pragma once
// Puts new files in the place of old ones so that either all of them are in
// place or none has changed: an upgrade that fails half way (a full disk, a
// file held open by another program) keeps the version that was installed.
#include <functional>
#include <string>
#include <vector>

namespace lumora {

struct FileCopy {
    std::string source;
    std::string target;
};

// Copies every source beside its target under a temporary name first,
// calling `afterEachCopy` after each; only once all copies are complete are
// the old targets moved aside, the copies moved into their places, and the
// old files deleted (or, when one still runs, deleted at the next restart,
// which the run's log says). A later copy to the same target replaces an
// earlier one. On failure every target is as it was and no temporary file
// remains. Targets are expanded to full paths. Throws Error with the
// messages of CopyFileByChunks, naming the full target; "Cannot create file
// <target>" also when a target cannot be replaced, or when a folder or a
// read-only file is in its place.
void CopyFilesIntoPlace(const std::vector<FileCopy>& copies, const std::function<void()>& afterEachCopy = {});

}  // namespace lumora
