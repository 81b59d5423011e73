#pragma once
// The files of a payload as the installer finds them in its extraction
// folder: by the names they are restored under, which match without regard
// to case, as on Windows. The checks of build, verify and settings read
// them through this view, whether they are the inputs of a build or lie in
// an installer's archive.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "archive/ArchiveInput.h"

namespace setuppack {

// A file is read whole for the checks; larger ones are refused (the
// installer refuses pictures of this size too).
inline constexpr std::int64_t kMaxCheckedFileSize = 64 * 1024 * 1024;

struct PayloadFile {
    std::string shown;                   // how messages name it
    std::function<std::string()> read;   // its bytes; throws lumora::Error
};

class PayloadFiles {
public:
    // `shown` names the payload as a whole: the installer.
    explicit PayloadFiles(std::string shown) : shown_(std::move(shown)) {}

    // A later file of the same name replaces an earlier one, as in a restore.
    void Add(std::string_view name, PayloadFile file);
    const PayloadFile* Find(std::string_view name) const;
    // The names the files are restored under, as added.
    std::vector<std::string> Names() const;
    const std::string& Shown() const { return shown_; }

private:
    std::string shown_;
    std::map<std::string, std::pair<std::string, PayloadFile>> files_;  // name and file, by lower-case name
};

// The inputs of a build, each under the base name of its stored name and
// shown by its path, for the installer `out`.
PayloadFiles InputPayload(const std::string& out, const std::vector<lumora::archive::ArchiveInput>& inputs,
                          const std::vector<std::string>& paths);

// The bytes of a file on this machine, at most kMaxCheckedFileSize of them;
// throws lumora::Error.
std::string ReadCheckedFile(const std::string& path);

}  // namespace setuppack
