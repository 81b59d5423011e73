#pragma once
// A file stream on the C library, for the tools that run on any platform.
#include <cstdio>
#include <string>

#include "base/Stream.h"

namespace lumora {

class StdioFileStream : public Stream {
public:
    enum class Mode { Read, Create };

    // Opens `path`; throws Error naming the file when that fails.
    StdioFileStream(const std::string& path, Mode mode);
    ~StdioFileStream() override;
    StdioFileStream(const StdioFileStream&) = delete;
    StdioFileStream& operator=(const StdioFileStream&) = delete;

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, Origin origin) override;

    // Flushes and closes; throws Error when data could not be written.
    void Close();

private:
    std::FILE* file_;
    std::string path_;
};

}  // namespace lumora
