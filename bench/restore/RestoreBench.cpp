// Restore throughput of TBackupFile against cp on the same machine and in
// the same run, and the peak resident memory of a restore for a 16 MiB and
// a 256 MiB archive (each measured in a child process of its own).
//
//   restore_bench [WORK_FOLDER]     (default: a folder in the temp folder)
//   restore_bench --make ARCHIVE MIB            writes a benchmark archive
//   restore_bench --child ARCHIVE FOLDER        restores it, prints VmHWM
//                                               (for profiling, too)
//
// Prints figures only; nothing here passes or fails on a time.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchArchive.h"
#include "archive/backup.h"

extern char** environ;

namespace fs = std::filesystem;
using lumora::archive::TBackupFile;

namespace {

constexpr std::int64_t kMiB = 1 << 20;
constexpr int kRounds = 3;

double Seconds(const std::chrono::steady_clock::duration& d)
{
    return std::chrono::duration<double>(d).count();
}

// Runs a program to its end; returns its exit status, or -1.
int Spawn(const std::vector<std::string>& args, const char* output = nullptr)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output)
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) < 0)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

long PeakResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

bool Restore(const std::string& archive, const std::string& folder)
{
    TBackupFile backup;
    return backup.Restore(archive, folder);
}

// Child mode: restore, then print the peak resident set in KiB.
int Child(const std::string& archive, const std::string& folder)
{
    fs::create_directories(folder);
    bool ok = false;
    try {
        ok = Restore(archive, folder);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    std::printf("%ld\n", PeakResidentKiB());
    return ok ? 0 : 1;
}

long ChildPeak(const fs::path& work, std::int64_t mib)
{
    const fs::path archive = work / ("peak-" + std::to_string(mib) + ".arc");
    const fs::path out = work / "peak-out";
    const fs::path report = work / "peak.txt";
    lumora::bench::WriteBenchArchive(archive.string(), mib * kMiB);
    const int status = Spawn({"/proc/self/exe", "--child", archive.string(), out.string()}, report.c_str());
    long kib = -1;
    std::ifstream(report) >> kib;
    fs::remove_all(out);
    fs::remove(archive);
    fs::remove(report);
    if (status != 0)
        std::printf("  (the %lld MiB restore failed)\n", static_cast<long long>(mib));
    return kib;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0)
        return Child(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "--make") == 0) {
        lumora::bench::WriteBenchArchive(argv[2], std::stoll(argv[3]) * kMiB);
        return 0;
    }

    const fs::path work = argc > 1 ? fs::path(argv[1])
                                   : fs::temp_directory_path() / ("lumora-restore-bench-" + std::to_string(getpid()));
    fs::create_directories(work);
    const fs::path archive = work / "bench-256.arc";
    const fs::path copy = work / "copy.arc";
    const fs::path out = work / "out";

    std::printf("writing a 256 MiB archive in %s ...\n", work.c_str());
    const std::int64_t fileBytes = lumora::bench::WriteBenchArchive(archive.string(), 256 * kMiB);
    const auto archiveBytes = static_cast<std::int64_t>(fs::file_size(archive));

    double bestCp = 1e9, bestRestore = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        auto start = std::chrono::steady_clock::now();
        if (Spawn({"cp", archive.string(), copy.string()}) != 0) {
            std::printf("cp failed\n");
            return 1;
        }
        bestCp = std::min(bestCp, Seconds(std::chrono::steady_clock::now() - start));
        fs::remove(copy);

        fs::create_directories(out);
        start = std::chrono::steady_clock::now();
        if (!Restore(archive.string(), out.string())) {
            std::printf("restore failed\n");
            return 1;
        }
        bestRestore = std::min(bestRestore, Seconds(std::chrono::steady_clock::now() - start));
        fs::remove_all(out);
    }
    fs::remove(archive);

    const double cpRate = static_cast<double>(archiveBytes) / kMiB / bestCp;
    const double restoreRate = static_cast<double>(fileBytes) / kMiB / bestRestore;
    std::printf("throughput (best of %d): restore %.0f MiB/s (%.3f s), cp %.0f MiB/s (%.3f s), ratio %.2f\n", kRounds,
                restoreRate, bestRestore, cpRate, bestCp, restoreRate / cpRate);

    const long small = ChildPeak(work, 16);
    const long large = ChildPeak(work, 256);
    std::printf("peak resident memory: 16 MiB archive %ld KiB, 256 MiB archive %ld KiB, growth %ld KiB\n", small,
                large, large - small);
    fs::remove_all(work);
    return 0;
}
