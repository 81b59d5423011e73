// Restores arbitrary bytes as an archive into a scratch folder. The first
// byte chooses the options (bit 0: RestoreFullPath, bits 1-3: RestoreMode);
// the rest is the archive. Aborts when the component touches anything
// outside the folder: every folder it creates and every file it writes is
// checked before the call, and the scratch root is checked after the run.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/backup.h"
#include "base/MemoryStream.h"

namespace fs = std::filesystem;
using namespace lumora;
using namespace lumora::archive;

namespace {

fs::path NativePath(std::string path)
{
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return fs::path(path).lexically_normal();
}

// The platform's file system, refusing to let a write leave `inside`.
class GuardedFileSystem : public FileSystem {
public:
    explicit GuardedFileSystem(fs::path inside) : inside_(std::move(inside)) {}

    bool FileExists(const std::string& path) override { return real_.FileExists(path); }
    bool FolderExists(const std::string& path) override { return real_.FolderExists(path); }
    bool MakeFolder(const std::string& path) override { return real_.MakeFolder(Checked(path)); }
    std::int32_t FileAge(const std::string& path) override { return real_.FileAge(path); }
    std::unique_ptr<FileStream> OpenArchive(const std::string& path) override { return real_.OpenArchive(path); }
    std::unique_ptr<FileStream> CreateTarget(const std::string& path) override
    {
        return real_.CreateTarget(Checked(path));
    }
    std::unique_ptr<FileStream> OpenForAppend(const std::string& path) override
    {
        return real_.OpenForAppend(Checked(path));
    }

private:
    const std::string& Checked(const std::string& path)
    {
        const fs::path relative = NativePath(path).lexically_relative(inside_);
        if (relative.empty() || *relative.begin() == "..") {
            std::fprintf(stderr, "write outside the scratch folder: %s\n", path.c_str());
            std::abort();
        }
        return path;
    }

    fs::path inside_;
    FileSystem& real_ = PlatformFileSystem();
};

struct Scratch {
    fs::path root = fs::temp_directory_path() / ("lumora-fuzz-" + std::to_string(getpid()));
    fs::path inside = root / "inside";

    Scratch()
    {
        fs::remove_all(root);
        fs::create_directories(inside);
    }
    ~Scratch()
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Scratch scratch;
    if (size == 0)
        return 0;
    fs::remove_all(scratch.inside);
    fs::create_directory(scratch.inside);

    GuardedFileSystem files(scratch.inside);
    TBackupFile backup;
    backup.SetFileSystem(&files);
    backup.SetRestoreFullPath(data[0] & 1);
    backup.SetRestoreMode(static_cast<TRestoreMode>((data[0] >> 1 & 7) % 5));
    MemoryStream stream(std::vector<unsigned char>(data + 1, data + size));
    backup.RestoreFromStream(&stream, scratch.inside.string());

    for (const auto& entry : fs::directory_iterator(scratch.root)) {
        if (entry.path() != scratch.inside) {
            std::fprintf(stderr, "found outside the scratch folder: %s\n", entry.path().c_str());
            std::abort();
        }
    }
    return 0;
}
