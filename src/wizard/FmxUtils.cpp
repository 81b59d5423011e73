#include "wizard/FmxUtils.h"

#include <windows.h>

#include <shellapi.h>

#include <memory>

#include "base/Error.h"
#include "base/PathEncoding.h"
#include "framework/Application.h"
#include "framework/Handles.h"
#include "framework/Win32Error.h"

namespace lumora {

namespace {

constexpr DWORD kChunkSize = 8192;
// The longest Win32 path with its terminating zero.
constexpr DWORD kLongestPath = 32768;

// The absolute form of `path`, resolved against the current folder; the
// path itself when the system cannot expand it (creating it then fails).
std::wstring FullPath(const std::wstring& path)
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (length == 0 || length > kLongestPath)
            return path;
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(length);  // the size asked for, terminating zero included
    }
    return path;
}

}  // namespace

std::string ExpandedPath(const std::string& path) { return PathFromWide(FullPath(WidePath(path))); }

void CopyFileByChunks(const std::string& source, const std::string& destination)
{
    CopyFileByChunks(source, destination, ExpandedPath(destination));
}

namespace {

FileHandle OpenSource(const std::string& source)
{
    FileHandle input(CreateFileW(WidePath(source).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!input)
        RaiseWithSystemReason("Cannot open file ", source);
    return input;
}

void CopySource(HANDLE input, const std::string& source, HANDLE output, const std::string& shownAs)
{
    switch (CopyChunks(input, output)) {
    case CopyFailure::Read:
        RaiseWithSystemReason("Cannot read file ", source);
    case CopyFailure::Write:
        RaiseWithSystemReason("Cannot write file ", shownAs);
    case CopyFailure::None:
        break;
    }
}

}  // namespace

void CopyFileByChunks(const std::string& source, const std::string& destination, const std::string& shownAs)
{
    // Declared in the reverse order of their release: the destination is
    // closed first, then the source.
    const FileHandle input = OpenSource(source);
    const FileHandle output(CreateFileW(FullPath(WidePath(destination)).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                        nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output)
        RaiseWithSystemReason("Cannot create file ", shownAs);
    CopySource(input.Get(), source, output.Get(), shownAs);
}

void CopyFileByChunks(const std::string& source, HANDLE output, const std::string& shownAs)
{
    CopySource(OpenSource(source).Get(), source, output, shownAs);
}

CopyFailure CopyChunks(HANDLE input, HANDLE output)
{
    const auto buffer = std::make_unique<char[]>(kChunkSize);
    // A read of less than a whole chunk is the end of the file.
    DWORD got = kChunkSize;
    while (got == kChunkSize) {
        if (!ReadFile(input, buffer.get(), kChunkSize, &got, nullptr))
            return CopyFailure::Read;
        if (got == 0)
            break;
        DWORD written = 0;
        if (!WriteFile(output, buffer.get(), got, &written, nullptr))
            return CopyFailure::Write;
        // A write that stops short has no error of its own: the disk is full.
        if (written != got) {
            SetLastError(ERROR_DISK_FULL);
            return CopyFailure::Write;
        }
    }
    // On the disk before anyone relies on it: a copy is complete or it
    // failed here.
    return FlushFileBuffers(output) ? CopyFailure::None : CopyFailure::Write;
}

std::intptr_t ShellRun(const std::string& program, const std::string& parameters, const std::string& folder,
                       int showCommand)
{
    TForm* mainForm = Application.MainForm();
    const HWND owner = mainForm && mainForm->HandleAllocated() ? mainForm->Handle() : nullptr;
    const HINSTANCE result = ShellExecuteW(owner, nullptr, WidePath(program).c_str(), WidePath(parameters).c_str(),
                                           WidePath(folder).c_str(), showCommand);
    return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace lumora
