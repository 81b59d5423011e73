#pragma once
// How long a screensaver's name may be. Beside each file it installs, the
// installer stages the new file and keeps the old one under the installed
// name and a suffix of the run (".<process>.<group>.<place>.new", 8
// hexadecimal digits each; the names of wizard/InstallJournal.h), and the
// uninstaller and the info file are named as long as the screensaver. A
// file's name holds at most 255 UTF-16 units on NTFS, and at most 255 bytes
// where the file system counts bytes of UTF-8 (Wine on Linux); bytes of
// UTF-8 are never fewer than UTF-16 units, so the bound counts those.
#include <cstddef>

namespace lumora {

// The most characters a staged name adds to the name it stands beside.
inline constexpr std::size_t kLongestStagingSuffix = 31;

// The most bytes of UTF-8 in a file's name on every file system the
// installer writes to.
inline constexpr std::size_t kLongestFileName = 255;

// The most bytes of UTF-8 in the screensaver's file name, so that every name
// staged beside it fits.
inline constexpr std::size_t kLongestScreenSaverName = kLongestFileName - kLongestStagingSuffix;

}  // namespace lumora
