#pragma once
// A file stream on CreateFileW: the caller chooses access, sharing and how
// the file is opened or created. The file name is path text
// (base/PathEncoding.h). The stream owns the file handle.
#include <windows.h>

#include <string>

#include "base/Stream.h"
#include "framework/Handles.h"

namespace lumora {

class TFileStream : public Stream {
public:
    // Throws Error naming the file and the system's reason when it cannot
    // be opened.
    TFileStream(const std::string& fileName, DWORD access, DWORD shareMode, DWORD disposition,
                DWORD attributes = FILE_ATTRIBUTE_NORMAL);

    // Short counts mean the end of the file or a failed call.
    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    // A position before the start is refused by the system: the result is -1
    // and the position stays. Positions beyond the end are accepted.
    std::int64_t Seek(std::int64_t offset, Origin origin) override;

    const std::string& FileName() const { return fileName_; }
    HANDLE Handle() const { return handle_.Get(); }

private:
    std::string fileName_;
    FileHandle handle_;
};

}  // namespace lumora
