#include "InfoFile.h"

#include <windows.h>

#include "Handles.h"
#include "Text.h"

namespace lmunist {

namespace {

// A file name fits well within this; a longer first line is no file name.
const DWORD kMaxRead = 4096;

}  // namespace

std::string readInfoFileScreensaver(const std::string& path)
{
    sample::UniqueHandle file(CreateFileW(sample::wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::string();
    std::string text(kMaxRead, '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), &text[0], kMaxRead, &read, nullptr))
        return std::string();
    text.resize(read);
    const std::string::size_type end = text.find_first_of("\r\n");
    if (end == std::string::npos && read == kMaxRead)
        return std::string();
    const std::string line = text.substr(0, end);
    const char kByteOrderMark[] = "\xEF\xBB\xBF";
    if (line.compare(0, 3, kByteOrderMark) == 0)
        return line.substr(3);
    return sample::utf8FromAnsi(line);
}

}  // namespace lmunist
