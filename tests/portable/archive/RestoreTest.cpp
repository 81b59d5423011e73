#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "RestoreFixture.h"
#include "base/PathText.h"
#include "base/MemoryStream.h"

namespace lumora::archive::test {
namespace {

// Never falls, reaches `last` with the last block, then the final event.
void ExpectRisingProgress(const std::vector<Recorder::Progress>& progress, TPercentage last)
{
    ASSERT_GE(progress.size(), 2u);
    for (std::size_t i = 1; i + 1 < progress.size(); ++i)
        EXPECT_GE(progress[i].percent, progress[i - 1].percent) << "event " << i;
    EXPECT_EQ(progress[progress.size() - 2].percent, last);
    EXPECT_EQ(progress.back().file, "");
    EXPECT_EQ(progress.back().percent, 100);
}

// Files of the kinds the payload holds: short, one raw block and a rest,
// exactly two full blocks, empty; and a file list that is never restored.
class RoundTrip : public RestoreFixture, public testing::WithParamInterface<bool> {
protected:
    const std::vector<StoredFile> files{
        {"c:\\lumora\\setup.ins", 0x2E3F361B, Pattern(143, 1)},
        {"c:\\lumora\\cd.jpg", kStamp, Pattern(17504, 2)},
        {"FILE:LIST", kStamp, Pattern(300, 3)},
        {"c:\\lumora\\sub\\two.bin", kOlder, Pattern(2 * 16384, 4)},
        {"c:\\lumora\\empty.txt", kNewer, {}},
    };
};

TEST_P(RoundTrip, WritesEveryFileWithItsDataAndStamp)
{
    const Bytes archive = WriterArchive(files, GetParam());
    std::int64_t total = 0;
    for (const StoredFile& f : files)
        total += static_cast<std::int64_t>(f.data.size());

    // From a stream into the folder as given, from a stream with the
    // trailing "\" already there, and from the archive file by name.
    const std::string archiveFile = scratch / "archive.arc";
    WriteAll(archiveFile, archive);
    for (const std::string& folder : {scratch.Folder(), scratch.Folder() + "\\", std::string()}) {
        events.Clear();
        ui.messages = 0;
        MemoryStream stream(archive);
        if (folder.empty()) {
            ASSERT_TRUE(backup.Restore(archiveFile, scratch.Folder()));
        } else {
            ASSERT_TRUE(backup.RestoreFromStream(&stream, folder));
            EXPECT_EQ(backup.SourceStream(), &stream);
            EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(archive.size()));
        }
        EXPECT_EQ(backup.FileCount(), 5);
        EXPECT_EQ(backup.TotalSize(), total);
        EXPECT_EQ(backup.BytesDone(), total - 300);
        EXPECT_EQ(backup.RestoredCount(), 4);
        EXPECT_EQ(backup.ErrorCode(), 0);
        EXPECT_EQ(backup.CurrentFile(), scratch / "empty.txt");
        for (const StoredFile& f : files) {
            if (f.name == "FILE:LIST")
                continue;
            const std::string target = scratch / std::string(FileNamePart(f.name));
            EXPECT_EQ(ReadAll(target), f.data) << target;
            EXPECT_EQ(Age(target), static_cast<std::int32_t>(f.stamp)) << target;
        }
        // The file list is neither offered nor written.
        EXPECT_EQ(Listing(scratch.Folder()),
                  (std::vector<std::string>{"archive.arc", "cd.jpg", "empty.txt", "setup.ins", "two.bin"}));
        EXPECT_EQ(events.offered, (std::vector<std::string>{scratch / "setup.ins", scratch / "cd.jpg",
                                                            scratch / "two.bin", scratch / "empty.txt"}));
        EXPECT_EQ(events.stamps[0], 0x2E3F361B);
        EXPECT_EQ(events.restored, events.offered);
        EXPECT_TRUE(events.errors.empty());

        // One progress event per written block and per written entry's end,
        // and the final one; messages after every block length read.
        int writtenBlocks = 0, allBlocks = 0;
        for (const StoredFile& f : files) {
            const int blocks = static_cast<int>((f.data.size() + 16383) / 16384);
            allBlocks += blocks + 1;
            if (f.name != "FILE:LIST")
                writtenBlocks += blocks + 1;
        }
        EXPECT_EQ(static_cast<int>(events.progress.size()), writtenBlocks + 1);
        EXPECT_EQ(ui.messages, allBlocks);
        // The skipped file list is part of the total.
        ExpectRisingProgress(events.progress, static_cast<TPercentage>((total - 300) * 100 / total));
        EXPECT_EQ(events.progress.front().file, scratch / "setup.ins");
    }
}

INSTANTIATE_TEST_SUITE_P(Restore, RoundTrip, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Deflated" : "ShippedArrangement"; });

struct ModeCase {
    TRestoreMode mode;
    std::int64_t existingAge;  // -1: no target file yet
    bool written;
};

class Modes : public RestoreFixture, public testing::WithParamInterface<ModeCase> {};

TEST_P(Modes, DecideByTheTargetsAgeAgainstTheStamp)
{
    const ModeCase c = GetParam();
    const std::string target = scratch / "file.txt";
    const Bytes before = Pattern(10, 9);
    const Bytes after = Pattern(5000, 8);
    if (c.existingAge >= 0)
        WriteWithStamp(target, before, static_cast<std::uint32_t>(c.existingAge));
    backup.SetRestoreMode(c.mode);

    ASSERT_TRUE(RestoreBytes(backup, WriterArchive({{"c:\\x\\file.txt", kStamp, after}}), scratch.Folder()));
    EXPECT_EQ(FileThere(target), c.written || c.existingAge >= 0);
    if (c.written) {
        EXPECT_EQ(ReadAll(target), after);
        EXPECT_EQ(Age(target), static_cast<std::int32_t>(kStamp));
        EXPECT_EQ(events.restored.size(), 1u);
        EXPECT_EQ(backup.BytesDone(), 5000);
    } else {
        if (c.existingAge >= 0) {
            EXPECT_EQ(ReadAll(target), before);
        }
        EXPECT_TRUE(events.restored.empty());
        EXPECT_EQ(backup.BytesDone(), 0);
        EXPECT_EQ(events.progress.size(), 1u);  // the final event only
    }
}

INSTANTIATE_TEST_SUITE_P(Restore, Modes,
                         testing::Values(ModeCase{rmAll, -1, true}, ModeCase{rmAll, kNewer, true},
                                         ModeCase{rmNoOverwrite, -1, true}, ModeCase{rmNoOverwrite, kOlder, false},
                                         ModeCase{rmNewer, -1, true}, ModeCase{rmNewer, kOlder, true},
                                         ModeCase{rmNewer, kStamp, false}, ModeCase{rmNewer, kNewer, false},
                                         ModeCase{rmExisting, -1, false}, ModeCase{rmExisting, kOlder, true},
                                         ModeCase{rmExisting, kNewer, true}, ModeCase{rmExistingNewer, -1, false},
                                         ModeCase{rmExistingNewer, kOlder, true},
                                         ModeCase{rmExistingNewer, kStamp, false},
                                         ModeCase{rmExistingNewer, kNewer, false}));

// A file whose time lies outside the stamps' years exists all the same: the
// modes that never overwrite leave it alone.
TEST_F(RestoreFixture, NoOverwriteKeepsFilesDatedBefore1980OrAfter2107)
{
    using Years = std::chrono::duration<std::int64_t, std::ratio<31556952>>;
    const std::string target = scratch / "file.txt";
    const auto native = std::filesystem::path(scratch.Folder()) / "file.txt";
    backup.SetRestoreMode(rmNoOverwrite);
    for (const std::int64_t shift : {-60, 150}) {
        WriteAll(target, Pattern(10, 9));
        std::filesystem::last_write_time(native, std::filesystem::last_write_time(native) + Years(shift));
        ASSERT_TRUE(RestoreBytes(backup, WriterArchive({{"c:\\x\\file.txt", kStamp, Pattern(50)}}), scratch.Folder()));
        EXPECT_EQ(ReadAll(target), Pattern(10, 9)) << shift;
        EXPECT_EQ(backup.RestoredCount(), 0) << shift;
    }
}

TEST_F(RestoreFixture, AnArchiveFileIsReadAheadAndSkippedWithoutLosingItsPlace)
{
    // Large entries, skipped and written, around small ones.
    const std::vector<StoredFile> files{{"c:\\a\\big1.bin", kStamp, Pattern(600000, 1)},
                                        {"c:\\a\\small.txt", kStamp, Pattern(100, 2)},
                                        {"FILE:LIST", kStamp, Pattern(50, 3)},
                                        {"c:\\a\\big2.bin", kStamp, Pattern(700000, 4)}};
    const std::string archiveFile = scratch / "big.arc";
    WriteAll(archiveFile, WriterArchive(files, false));
    std::filesystem::create_directory(std::filesystem::path(scratch.Folder()) / "out");
    const std::string out = scratch / "out";
    WriteWithStamp(out + "\\big1.bin", Pattern(3), kOlder);
    backup.SetRestoreMode(rmNoOverwrite);
    ASSERT_TRUE(backup.Restore(archiveFile, out));
    EXPECT_EQ(ReadAll(out + "\\big1.bin"), Pattern(3));
    EXPECT_EQ(ReadAll(out + "\\small.txt"), files[1].data);
    EXPECT_EQ(ReadAll(out + "\\big2.bin"), files[3].data);
    EXPECT_EQ(backup.RestoredCount(), 2);
}

TEST_F(RestoreFixture, OnRestoreFileRedirectsOrRefusesAnEntry)
{
    const Bytes archive = WriterArchive({{"c:\\a\\keep.txt", kStamp, Pattern(100, 1)},
                                         {"c:\\a\\move.txt", kStamp, Pattern(200, 2)},
                                         {"c:\\a\\drop.txt", kStamp, Pattern(300, 3)}});
    const std::string moved = scratch / "elsewhere\\moved.txt";
    backup.OnRestoreFile = [&](TObject* sender, std::string& file, std::int32_t, bool& doRestore) {
        EXPECT_EQ(sender, &backup);
        if (file == scratch / "move.txt")
            file = moved;
        doRestore = file != scratch / "drop.txt";
    };
    ASSERT_TRUE(RestoreBytes(backup, archive, scratch.Folder()));
    EXPECT_EQ(ReadAll(moved), Pattern(200, 2));
    EXPECT_EQ(Listing(scratch.Folder()), (std::vector<std::string>{"elsewhere", "keep.txt"}));
    EXPECT_EQ(events.restored, (std::vector<std::string>{scratch / "keep.txt", moved}));
    EXPECT_EQ(backup.RestoredCount(), 2);
}

TEST_F(RestoreFixture, FullPathCreatesTheStoredFoldersParentFirst)
{
    RecordingFileSystem files;
    backup.SetFileSystem(&files);
    backup.SetRestoreFullPath(true);
    const Bytes archive = WriterArchive({{"c:\\a\\b\\c\\deep.txt", kStamp, Pattern(70, 1)},
                                         {"c:\\a\\top.txt", kStamp, Pattern(80, 2)}});
    ASSERT_TRUE(RestoreBytes(backup, archive, scratch.Folder()));
    EXPECT_EQ(files.madeFolders,
              (std::vector<std::string>{scratch / "a", scratch / "a\\b", scratch / "a\\b\\c"}));
    EXPECT_EQ(ReadAll(scratch / "a\\b\\c\\deep.txt"), Pattern(70, 1));
    EXPECT_EQ(ReadAll(scratch / "a\\top.txt"), Pattern(80, 2));
}

// The file list's name is no plain file name; it is never written, so it
// fails no restore, also where the stored path or name is kept.
TEST_F(RestoreFixture, AFileListIsPassedOverAlsoWithFullPathsAndWithoutAFolder)
{
    const std::string kept = scratch / "kept.txt";
    const Bytes archive = WriterArchive({{"FILE:LIST", kStamp, Pattern(30, 1)}, {kept, kStamp, Pattern(40, 2)}});
    backup.SetRestoreFullPath(true);
    EXPECT_TRUE(RestoreBytes(backup, archive, scratch / "out"));
    EXPECT_EQ(ReadAll(scratch / ("out\\" + kept.substr(3))), Pattern(40, 2));
    EXPECT_TRUE(RestoreBytes(backup, archive, ""));
    EXPECT_EQ(ReadAll(kept), Pattern(40, 2));
    EXPECT_TRUE(events.errors.empty());
}

// A relative folder of one or two letters is made like any other, and a
// folder that cannot be made fails the run instead of skipping the entry.
TEST_F(RestoreFixture, ShortRelativeFoldersAreCreatedAndAFolderThatCannotBeIsError1)
{
    const auto home = std::filesystem::current_path();
    std::filesystem::current_path(scratch.Folder());
    backup.SetRestoreFullPath(true);
    WriteAll(scratch / "v", Pattern(1));
    const Bytes archive = WriterArchive({{"c:\\t\\x.txt", kStamp, Pattern(20)}});
    const bool made = RestoreBytes(backup, archive, "u");
    const bool blocked = RestoreBytes(backup, archive, "v");
    std::filesystem::current_path(home);
    EXPECT_TRUE(made);
    EXPECT_EQ(ReadAll(scratch / "u\\t\\x.txt"), Pattern(20));
    EXPECT_FALSE(blocked);
    EXPECT_EQ(events.errors, (std::vector<std::pair<std::int32_t, std::string>>{{1, "Cannot read file"}}));
}

TEST_F(RestoreFixture, AnEmptyFolderWritesToTheStoredPath)
{
    const std::string stored = scratch / "direct.txt";
    ASSERT_TRUE(RestoreBytes(backup, WriterArchive({{stored, kStamp, Pattern(64, 1)}}), ""));
    EXPECT_EQ(ReadAll(stored), Pattern(64, 1));
    EXPECT_EQ(backup.CurrentFile(), stored);
}

TEST_F(RestoreFixture, CancelInTheMiddleOfAFileLeavesItPartlyWrittenAndStamped)
{
    const Bytes archive = WriterArchive(
        {{"c:\\a\\first.bin", kOlder, Pattern(40000, 1)}, {"c:\\a\\second.bin", kStamp, Pattern(10, 2)}}, false);
    events.cancelAtProgress = 0;  // after the first block
    EXPECT_FALSE(RestoreBytes(backup, archive, scratch.Folder()));
    EXPECT_EQ(ReadAll(scratch / "first.bin"), Pattern(16384, 1));
    EXPECT_EQ(Age(scratch / "first.bin"), static_cast<std::int32_t>(kOlder));
    EXPECT_FALSE(FileThere(scratch / "second.bin"));
    EXPECT_EQ(events.restored, (std::vector<std::string>{scratch / "first.bin"}));
    EXPECT_TRUE(events.errors.empty());
    EXPECT_TRUE(ui.errorBoxes.empty());
    EXPECT_EQ(backup.ErrorCode(), 0);
    ASSERT_EQ(events.progress.size(), 2u);
    EXPECT_FALSE(events.progress.back().going);
    EXPECT_EQ(events.progress.back().percent, 100);
}

TEST_F(RestoreFixture, PercentStaysInRangeWhateverTheHeaderClaims)
{
    // Total size 0 (and a negative name length to pass over), then a total
    // far below what the entry holds.
    for (const std::int32_t total : {0, 1000}) {
        events.Clear();
        const Bytes archive = RawArchive()
                                  .Header(total)
                                  .Int32(-7)
                                  .Entry("c:\\z.bin")
                                  .RawBlock(Pattern(16384, 1))
                                  .RawBlock(Pattern(16384, 2))
                                  .End()
                                  .End()
                                  .bytes;
        ASSERT_TRUE(RestoreBytes(backup, archive, scratch.Folder()));
        ASSERT_EQ(events.progress.size(), 4u);
        for (const Recorder::Progress& p : events.progress)
            EXPECT_EQ(p.percent, 100) << "total " << total;
        EXPECT_EQ(backup.BytesDone(), 2 * 16384);
    }
}

}  // namespace
}  // namespace lumora::archive::test
