#include "base/StdioFileStream.h"

#include <cerrno>
#include <cstring>

#include "base/Error.h"
#include "base/PathEncoding.h"

namespace lumora {

namespace {

int Whence(Stream::Origin origin)
{
    switch (origin) {
    case Stream::Origin::Begin: return SEEK_SET;
    case Stream::Origin::Current: return SEEK_CUR;
    case Stream::Origin::End: return SEEK_END;
    }
    return SEEK_SET;
}

#ifdef _WIN32
int SeekFile(std::FILE* f, std::int64_t offset, int whence) { return _fseeki64(f, offset, whence); }
std::int64_t TellFile(std::FILE* f) { return _ftelli64(f); }
#else
int SeekFile(std::FILE* f, std::int64_t offset, int whence) { return fseeko(f, offset, whence); }
std::int64_t TellFile(std::FILE* f) { return ftello(f); }
#endif

#ifdef _WIN32
// Path text is UTF-8 on Win32: the wide function takes every letter.
std::FILE* OpenFile(const std::string& path, const char* mode)
{
    const std::wstring wideMode(mode, mode + std::strlen(mode));
    return _wfopen(WidePath(path).c_str(), wideMode.c_str());
}
#else
std::FILE* OpenFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }
#endif

}  // namespace

StdioFileStream::StdioFileStream(const std::string& path, Mode mode)
    : file_(OpenFile(path, mode == Mode::Read ? "rb" : "w+b")), path_(path)
{
    if (!file_)
        throw Error((mode == Mode::Read ? "Cannot open file " : "Cannot create file ") + path + ": " +
                    std::strerror(errno));
}

StdioFileStream::~StdioFileStream()
{
    if (file_)
        std::fclose(file_);
}

std::size_t StdioFileStream::Read(void* buffer, std::size_t count)
{
    return std::fread(buffer, 1, count, file_);
}

std::size_t StdioFileStream::Write(const void* buffer, std::size_t count)
{
    return std::fwrite(buffer, 1, count, file_);
}

std::int64_t StdioFileStream::Seek(std::int64_t offset, Origin origin)
{
    if (SeekFile(file_, offset, Whence(origin)) != 0)
        return -1;
    return TellFile(file_);
}

void StdioFileStream::Close()
{
    std::FILE* f = file_;
    file_ = nullptr;
    if (f && std::fclose(f) != 0)
        throw Error("Cannot write file " + path_ + ": " + std::strerror(errno));
}

}  // namespace lumora
