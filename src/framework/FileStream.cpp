#include "framework/FileStream.h"

#include <algorithm>

#include "base/PathEncoding.h"
#include "framework/Win32Error.h"

namespace lumora {

namespace {

DWORD MoveMethod(Stream::Origin origin)
{
    switch (origin) {
    case Stream::Origin::Begin: return FILE_BEGIN;
    case Stream::Origin::Current: return FILE_CURRENT;
    case Stream::Origin::End: return FILE_END;
    }
    return FILE_BEGIN;
}

// ReadFile and WriteFile take 32-bit counts.
DWORD ChunkOf(std::size_t count) { return static_cast<DWORD>(std::min<std::size_t>(count, MAXDWORD)); }

}  // namespace

TFileStream::TFileStream(const std::string& fileName, DWORD access, DWORD shareMode, DWORD disposition,
                         DWORD attributes)
    : fileName_(fileName),
      handle_(CreateFileW(WidePath(fileName).c_str(), access, shareMode, nullptr, disposition, attributes, nullptr))
{
    if (!handle_)
        RaiseLastOSError("Cannot open file \"" + fileName + "\"");
}

std::size_t TFileStream::Read(void* buffer, std::size_t count)
{
    DWORD done = 0;
    if (!ReadFile(handle_.Get(), buffer, ChunkOf(count), &done, nullptr))
        return 0;
    return done;
}

std::size_t TFileStream::Write(const void* buffer, std::size_t count)
{
    DWORD done = 0;
    if (!WriteFile(handle_.Get(), buffer, ChunkOf(count), &done, nullptr))
        return 0;
    return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, Origin origin)
{
    LONG high = static_cast<LONG>(offset >> 32);
    // INVALID_SET_FILE_POINTER is also a valid low part of a large position;
    // only the last error tells them apart.
    SetLastError(NO_ERROR);
    const DWORD low = SetFilePointer(handle_.Get(), static_cast<LONG>(offset & 0xFFFFFFFF), &high,
                                     MoveMethod(origin));
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
        return -1;
    return (static_cast<std::int64_t>(high) << 32) | low;
}

}  // namespace lumora
