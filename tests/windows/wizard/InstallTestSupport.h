#pragma once
// Helpers of the installation tests: scratch folders and files, the command
// recorder that stands in for started programs, and a count of the
// processes this test program has started.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "base/Error.h"

namespace lumora::test {

using Bytes = std::vector<unsigned char>;

// `count` bytes of a pattern that differs from chunk to chunk.
Bytes Pattern(std::size_t count, unsigned seed);
void WriteBytes(const std::string& path, const Bytes& bytes);
// The file's bytes; nullopt when it cannot be read.
std::optional<Bytes> ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
bool SameText(const std::string& a, const std::string& b);

// The message of the Error that `call` throws; empty when it throws none.
template <class Call>
std::string ErrorOf(Call call)
{
    try {
        call();
    } catch (const Error& error) {
        return error.what();
    }
    return {};
}

// A fresh folder "<temp>\lumora-<name>" (no trailing backslash), removed with
// its files when the test ends.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// The command recorder built beside this test program.
std::string RecorderProgram();

// How a recorder was started.
struct Record {
    std::string module;
    std::string arguments;  // the command line without the program's name
    std::string folder;
};
// Points recorders at `path` (through the environment, which started
// programs inherit) and removes an old record.
void RecordStartsInto(const std::string& path);
// Waits (a minute at most) for the record; nullopt when none came.
std::optional<Record> WaitForRecord(const std::string& path);

// How many processes this program has started since it first asked (the
// count of a job object it put itself into; finished ones stay counted).
unsigned ProcessesStarted();

}  // namespace lumora::test
