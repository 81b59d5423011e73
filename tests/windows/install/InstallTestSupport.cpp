#include "InstallTestSupport.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "launcher/CmnFunc2.h"

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

namespace {

void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

ScratchFolder::ScratchFolder(const std::string& name) : path_(GetTempFolder() + "lumora-" + name)
{
    RemoveTree(path_);
    if (!CreateDirectoryA(path_.c_str(), nullptr))
        throw std::runtime_error("cannot create " + path_);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

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

std::optional<Record> WaitForRecord(const std::string& path, std::chrono::seconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!FileExists(path)) {
        if (std::chrono::steady_clock::now() > deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const std::optional<Bytes> bytes = ReadBytes(path);
    if (!bytes)
        return std::nullopt;
    Record record;
    std::string text(bytes->begin(), bytes->end());
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = text.substr(start, end - start);
        const std::size_t equals = line.find('=');
        const std::string key = line.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : line.substr(equals + 1);
        if (key == "module")
            record.module = value;
        else if (key == "command")
            record.command = value;
        else if (key == "folder")
            record.folder = value;
    }
    return record;
}

std::string ArgumentsOf(const std::string& commandLine)
{
    std::size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        i = commandLine.find('"', 1);
        i = i == std::string::npos ? commandLine.size() : i + 1;
    } else {
        while (i < commandLine.size() && commandLine[i] != ' ' && commandLine[i] != '\t')
            ++i;
    }
    while (i < commandLine.size() && (commandLine[i] == ' ' || commandLine[i] == '\t'))
        ++i;
    return commandLine.substr(i);
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

bool SameText(const std::string& a, const std::string& b) { return _stricmp(a.c_str(), b.c_str()) == 0; }

}  // namespace lumora::test
