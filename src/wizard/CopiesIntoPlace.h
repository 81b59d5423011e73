#pragma once
// Puts new files in the place of old ones so that either all of them are in
// place or none has changed: an upgrade that fails half way (a full disk, a
// file held open by another program) keeps the version that was installed.
#include <string>
#include <vector>

namespace lumora {

struct FileCopy {
    std::string source;
    std::string target;
};

// Copies every source beside its target under a temporary name first; only
// once all copies are complete are the old targets moved aside, the copies
// moved into their places, and the old files deleted (or, when one still
// runs, deleted at the next restart). On failure every target is as it was
// and no temporary file remains. Throws Error with the messages of
// CopyFileByChunks, naming the target; "Cannot create file <target>" also
// when a target cannot be replaced.
void CopyFilesIntoPlace(const std::vector<FileCopy>& copies);

}  // namespace lumora
