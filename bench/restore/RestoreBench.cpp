// Restore throughput of TBackupFile against cp and against unzip on the same
// machine and in the same run, and the peak resident memory of a restore for
// a 16 MiB and a 256 MiB archive (each measured in a child process of its
// own).
//
// - Against cp: a 256 MiB archive written without compressing (mostly raw
//   blocks), restored; cp copies the archive file.
// - Against unzip: 256 MiB of files that compress as programs and texts do,
//   archived as setuppack build does by default (blocks deflated at level
//   9), restored; unzip extracts a zip of the same files made by zip -9.
//
//   restore_bench [WORK_FOLDER]     (default: a folder in the temp folder)
//   restore_bench --make ARCHIVE MIB            writes a benchmark archive
//   restore_bench --child ARCHIVE FOLDER        restores it, prints VmHWM
//                                               (for profiling, too)
//   restore_bench --installer INSTALLER FOLDER  restores an installer's
//       payload as the setup program does before its first window (trailer,
//       check record, read-ahead, check value and solid decoding in one
//       pass, TBackupFile), prints VmHWM; for instruction counts:
//       valgrind --tool=callgrind restore_bench --installer setup.exe out
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
#include "archive/CheckRecord.h"
#include "archive/PayloadSource.h"
#include "archive/PayloadTrailer.h"
#include "archive/backup.h"
#include "base/StdioFileStream.h"

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

// Installer mode: the payload of `installer` restored into `folder` and
// checked against its record, then the peak resident set in KiB.
int InstallerChild(const std::string& installer, const std::string& folder)
{
    fs::create_directories(folder);
    bool ok = false;
    try {
        lumora::StdioFileStream file(installer, lumora::StdioFileStream::Mode::Read);
        const lumora::archive::PayloadTrailer trailer = lumora::archive::ReadPayloadTrailer(file);
        const lumora::archive::CheckRecordPlace check =
            lumora::archive::ReadCheckRecord(file, trailer.imageEnd, trailer.offset);
        lumora::archive::PayloadSource payload(file, trailer.offset, trailer.at);
        TBackupFile backup;
        ok = !check.damaged && backup.RestoreFromStream(&payload.Archive(), folder) && payload.Matches(check.record);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    std::printf("%ld\n", PeakResidentKiB());
    return ok ? 0 : 1;
}

// The peak resident memory, in KiB, of a child process restoring `archive`.
long ChildPeak(const fs::path& work, const fs::path& archive)
{
    const fs::path out = work / "peak-out";
    const fs::path report = work / "peak.txt";
    const int status = Spawn({"/proc/self/exe", "--child", archive.string(), out.string()}, report.c_str());
    long kib = -1;
    std::ifstream(report) >> kib;
    fs::remove_all(out);
    fs::remove(report);
    if (status != 0)
        std::printf("  (the restore of %s failed)\n", archive.c_str());
    return kib;
}

void PrintPeaks(const char* what, long small, long large)
{
    std::printf("peak resident memory, %s: 16 MiB archive %ld KiB, 256 MiB archive %ld KiB, growth %ld KiB\n",
                what, small, large, large - small);
}

long SyntheticPeak(const fs::path& work, std::int64_t mib)
{
    const fs::path archive = work / ("peak-" + std::to_string(mib) + ".arc");
    lumora::bench::WriteBenchArchive(archive.string(), mib * kMiB);
    const long kib = ChildPeak(work, archive);
    fs::remove(archive);
    return kib;
}

// Best of kRounds: the seconds `run` takes, after `prepare` (not timed).
template <typename Prepare, typename Run>
double BestTime(Prepare prepare, Run run)
{
    double best = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        if (!run())
            return -1;
        best = std::min(best, Seconds(std::chrono::steady_clock::now() - start));
    }
    return best;
}

// Restore of the default (deflated) archive against unzip of a zip -9 of the
// same files, then the peak memory of restoring deflated archives.
int CompareWithUnzip(const fs::path& work)
{
    const fs::path files = work / "files";
    const fs::path archive = work / "deflated-256.arc";
    const fs::path zip = work / "files.zip";
    const fs::path out = work / "out";

    std::printf("writing 256 MiB of compressible files and packing them ...\n");
    const auto paths = lumora::bench::WriteCompressibleFiles(files.string(), 64, "/proc/self/exe");
    auto start = std::chrono::steady_clock::now();
    lumora::bench::WriteDeflatedArchive(archive.string(), paths);
    const double packSeconds = Seconds(std::chrono::steady_clock::now() - start);
    std::vector<std::string> zipArgs = {"zip", "-9", "-q", "-j", zip.string()};
    zipArgs.insert(zipArgs.end(), paths.begin(), paths.end());
    start = std::chrono::steady_clock::now();
    if (Spawn(zipArgs) != 0) {
        std::printf("zip failed (scripts/install-deps.sh installs zip and unzip)\n");
        return 1;
    }
    const double zipSeconds = Seconds(std::chrono::steady_clock::now() - start);
    const auto fileBytes = static_cast<double>(paths.size() * lumora::bench::kBenchFileSize);
    std::printf("packed: archive %lld bytes in %.1f s, zip -9 %lld bytes in %.1f s (files %.0f bytes)\n",
                static_cast<long long>(fs::file_size(archive)), packSeconds,
                static_cast<long long>(fs::file_size(zip)), zipSeconds, fileBytes);

    const auto fresh = [&] {
        fs::remove_all(out);
        fs::create_directories(out);
    };
    const double restore = BestTime(fresh, [&] { return Restore(archive.string(), out.string()); });
    const double unzip = BestTime(fresh, [&] {
        return Spawn({"unzip", "-q", "-o", zip.string(), "-d", out.string()}) == 0;
    });
    fs::remove_all(out);
    if (restore < 0 || unzip < 0) {
        std::printf(restore < 0 ? "restore failed\n" : "unzip failed\n");
        return 1;
    }
    const double restoreRate = fileBytes / kMiB / restore, unzipRate = fileBytes / kMiB / unzip;
    std::printf("deflated payload (best of %d): restore %.0f MiB/s (%.3f s), unzip %.0f MiB/s (%.3f s), "
                "restore/unzip speed %.2f\n",
                kRounds, restoreRate, restore, unzipRate, unzip, restoreRate / unzipRate);

    const fs::path small = work / "deflated-16.arc";
    lumora::bench::WriteDeflatedArchive(small.string(), {paths.begin(), paths.begin() + 4});
    PrintPeaks("deflated", ChildPeak(work, small), ChildPeak(work, archive));
    fs::remove(small);
    fs::remove(archive);
    fs::remove(zip);
    fs::remove_all(files);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0)
        return Child(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "--installer") == 0)
        return InstallerChild(argv[2], argv[3]);
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

    const double bestCp = BestTime([&] { fs::remove(copy); },
                                   [&] { return Spawn({"cp", archive.string(), copy.string()}) == 0; });
    fs::remove(copy);
    const auto fresh = [&] {
        fs::remove_all(out);
        fs::create_directories(out);
    };
    const double bestRestore = BestTime(fresh, [&] { return Restore(archive.string(), out.string()); });
    fs::remove_all(out);
    fs::remove(archive);
    if (bestCp < 0 || bestRestore < 0) {
        std::printf(bestCp < 0 ? "cp failed\n" : "restore failed\n");
        return 1;
    }

    const double cpRate = static_cast<double>(archiveBytes) / kMiB / bestCp;
    const double restoreRate = static_cast<double>(fileBytes) / kMiB / bestRestore;
    std::printf("throughput (best of %d): restore %.0f MiB/s (%.3f s), cp %.0f MiB/s (%.3f s), ratio %.2f\n", kRounds,
                restoreRate, bestRestore, cpRate, bestCp, restoreRate / cpRate);
    PrintPeaks("mostly raw blocks", SyntheticPeak(work, 16), SyntheticPeak(work, 256));

    const int status = CompareWithUnzip(work);
    fs::remove_all(work);
    return status;
}
