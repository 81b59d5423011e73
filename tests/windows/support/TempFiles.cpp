#include "support/TempFiles.h"

#include <windows.h>

#include "framework/FileStream.h"

namespace lumora::test {

namespace {

std::string TempFolder()
{
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof buffer, buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string(".\\");
}

}  // namespace

TempFile::TempFile(const std::string& name) : path_(TempFolder() + "lumora-test-" + name)
{
    DeleteFileA(path_.c_str());
}

TempFile::TempFile(const std::string& name, const std::vector<unsigned char>& bytes) : TempFile(name)
{
    Write(bytes);
}

TempFile::~TempFile() { DeleteFileA(path_.c_str()); }

void TempFile::Write(const std::vector<unsigned char>& bytes) const
{
    TFileStream file(path_, GENERIC_WRITE, 0, CREATE_ALWAYS);
    file.WriteBuffer(bytes.data(), bytes.size());
}

}  // namespace lumora::test
