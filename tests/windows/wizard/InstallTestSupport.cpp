#include "InstallTestSupport.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "settings/CmnFunc2.h"

namespace lumora::test {

Bytes Pattern(std::size_t count, unsigned seed)
{
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<unsigned char>((i * 31 + (i >> 13) * 7 + seed) & 0xFF);
    return bytes;
}

void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

std::optional<Bytes> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool SameText(const std::string& a, const std::string& b) { return _stricmp(a.c_str(), b.c_str()) == 0; }

ScratchFolder::ScratchFolder(const std::string& name) : path_(GetTempFolder() + "lumora-" + name)
{
    if (!CreateDirectoryA(path_.c_str(), nullptr))
        throw std::runtime_error("cannot create " + path_);
}

ScratchFolder::~ScratchFolder()
{
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileA((*this / found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
}

std::string RecorderProgram()
{
    std::string self(MAX_PATH * 4, '\0');
    self.resize(GetModuleFileNameA(nullptr, self.data(), static_cast<DWORD>(self.size())));
    return self.substr(0, self.find_last_of('\\') + 1) + "command_recorder.exe";
}

void RecordStartsInto(const std::string& path)
{
    DeleteFileA(path.c_str());
    SetEnvironmentVariableA("LUMORA_RECORD", path.c_str());
}

std::optional<Record> WaitForRecord(const std::string& path)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!FileExists(path)) {
        if (std::chrono::steady_clock::now() > deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // Three lines: the program's file, its command line, its folder.
    std::ifstream in(path, std::ios::binary);
    Record record;
    std::string command;
    if (!std::getline(in, record.module) || !std::getline(in, command) || !std::getline(in, record.folder))
        return std::nullopt;
    // The program's name is quoted or ends at the first blank.
    const bool quoted = !command.empty() && command[0] == '"';
    std::size_t end = quoted ? command.find('"', 1) : command.find(' ');
    if (quoted && end != std::string::npos)
        ++end;
    const std::size_t start = end == std::string::npos ? end : command.find_first_not_of(' ', end);
    record.arguments = start == std::string::npos ? "" : command.substr(start);
    return record;
}

namespace {

DWORD TotalProcessesOf(HANDLE job)
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info, nullptr))
        throw std::runtime_error("cannot read the job object's accounting");
    return info.TotalProcesses;
}

struct StartCounter {
    HANDLE job = nullptr;
    DWORD before = 0;

    StartCounter()
    {
        // The desktop's own process is started with the first window; it
        // is not one of the test's.
        GetDesktopWindow();
        job = CreateJobObjectA(nullptr, nullptr);
        if (!job || !AssignProcessToJobObject(job, GetCurrentProcess()))
            throw std::runtime_error("cannot count started processes: no job object");
        before = TotalProcessesOf(job);
    }
};

}  // namespace

unsigned ProcessesStarted()
{
    static const StartCounter counter;
    return TotalProcessesOf(counter.job) - counter.before;
}

}  // namespace lumora::test
