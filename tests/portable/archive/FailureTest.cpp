#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include "RestoreFixture.h"
#include "archive/BlockEncoder.h"
#include "base/Error.h"
#include "base/PathText.h"
#include "base/PrintableText.h"
#include "base/MemoryStream.h"

namespace lumora::archive::test {
namespace {

const std::vector<std::pair<std::int32_t, std::string>> kCannotReadFile{{1, "Cannot read file"}};
const std::vector<std::pair<std::int32_t, std::string>> kCompressionError{{6, "Compression error"}};

// An archive whose first entry, "c:\a.bin", is given by `entry` (its name,
// stamp and magic are written already), followed by a good entry "b.txt".
Bytes WithFollower(RawArchive entry)
{
    return entry.Entry("c:\\b.txt").RawBlock(Pattern(10)).End().End().bytes;
}

TEST_F(RestoreFixture, WrongMagicInAWrittenEntryIsReportedAfterTheFinalProgress)
{
    RawArchive archive;
    archive.Header(100).Text("c:\\a.bin").Int32(static_cast<std::int32_t>(kStamp)).Data({0x45, 0x43, 0x32, 0x41});
    std::size_t progressAtError = 0;
    backup.OnError = [&](TObject*, const std::int32_t code, std::string text) {
        events.errors.emplace_back(code, text);
        progressAtError = events.progress.size();
    };
    // The failure is recorded before OnFileRestored sees the file.
    std::vector<std::pair<std::int32_t, bool>> seen;
    backup.OnFileRestored = [&](TObject*, std::string& file, FileStream&) {
        events.restored.push_back(file);
        seen.emplace_back(backup.ErrorCode(), backup.ContinueFlag());
    };
    EXPECT_FALSE(RestoreBytes(backup, WithFollower(archive), scratch.Folder()));
    EXPECT_EQ(events.errors, kCannotReadFile);
    EXPECT_EQ(seen, (std::vector<std::pair<std::int32_t, bool>>{{1, false}}));
    EXPECT_EQ(progressAtError, 1u);
    EXPECT_FALSE(events.progress.back().going);
    // The target was created empty, shown to OnFileRestored and stamped.
    EXPECT_TRUE(FileThere(scratch / "a.bin"));
    EXPECT_TRUE(ReadAll(scratch / "a.bin").empty());
    EXPECT_EQ(Age(scratch / "a.bin"), static_cast<std::int32_t>(kStamp));
    EXPECT_EQ(events.restored.size(), 1u);
    EXPECT_FALSE(FileThere(scratch / "b.txt"));
    EXPECT_EQ(backup.RestoredCount(), 0);

    // Without an OnError handler the message goes to the error box.
    backup.OnError = nullptr;
    EXPECT_FALSE(RestoreBytes(backup, WithFollower(archive), scratch.Folder()));
    EXPECT_EQ(ui.errorBoxes, std::vector<std::string>{"Cannot read file"});
}

// Damage in an entry that is skipped ends the run silently.
TEST_F(RestoreFixture, DamageInASkippedEntryEscapesWithoutAReport)
{
    const Bytes badMagic = RawArchive().Header(10).Text("FILE:LIST").Int32(0).Data({1, 2, 3, 4}).End().bytes;
    const Bytes longBlock = RawArchive().Header(10).Entry("FILE:LIST").Int32(-16385).Data(Pattern(16385)).End().End().bytes;
    const Bytes truncated = RawArchive().Header(10).Entry("FILE:LIST").RawBlock(Pattern(100)).bytes;
    const Bytes noHeader = RawArchive().Text("Setup").Int32(10).bytes;
    for (const Bytes& archive : {badMagic, longBlock, truncated, noHeader}) {
        events.Clear();
        EXPECT_FALSE(RestoreBytes(backup, archive, scratch.Folder()));
        EXPECT_TRUE(events.errors.empty());
        EXPECT_TRUE(events.progress.empty());
        EXPECT_TRUE(Listing(scratch.Folder()).empty());
    }
    // Restore itself lets the failure out with its message.
    MemoryStream stream(badMagic);
    backup.RestoreFromStream(&stream, scratch.Folder());
    stream.Seek(0, Stream::Origin::Begin);
    try {
        backup.Restore(":STREAM", scratch.Folder());
        ADD_FAILURE() << "no exception";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Invalid archive type");
    }
}

struct BlockCase {
    const char* what;
    Bytes block;         // length and data of the first entry's only block
    std::size_t kept;    // bytes of the target file afterwards
    std::int32_t error;  // 0, 1 or 6
};

void PrintTo(const BlockCase& c, std::ostream* out)
{
    *out << c.what;
}

class BrokenBlocks : public RestoreFixture, public testing::WithParamInterface<BlockCase> {};

TEST_P(BrokenBlocks, EndTheRunWithTheirErrorCode)
{
    const BlockCase& c = GetParam();
    const Bytes archive = WithFollower(RawArchive().Header(100).Entry("c:\\a.bin").Data(c.block).End());
    const bool result = RestoreBytes(backup, archive, scratch.Folder());
    EXPECT_EQ(result, c.error == 0);
    EXPECT_EQ(backup.ErrorCode(), c.error);
    if (c.error == 0) {
        EXPECT_TRUE(events.errors.empty());
    } else {
        EXPECT_EQ(events.errors, c.error == 1 ? kCannotReadFile : kCompressionError);
    }
    EXPECT_EQ(ReadAll(scratch / "a.bin").size(), c.kept);
    EXPECT_EQ(FileThere(scratch / "b.txt"), c.error == 0);
    // A compression error still counts the entry as restored.
    EXPECT_EQ(backup.RestoredCount(), c.error == 1 ? 0 : c.error == 6 ? 1 : 2);
}

Bytes Block(const Bytes& stream, bool compressed = true)
{
    return RawArchive().Int32(compressed ? static_cast<std::int32_t>(stream.size())
                                         : -static_cast<std::int32_t>(stream.size()))
        .Data(stream)
        .bytes;
}

Bytes Changed(Bytes bytes, std::size_t at, unsigned char value)
{
    bytes.at(at) = value;
    return bytes;
}

Bytes Cut(Bytes bytes, std::size_t count)
{
    bytes.resize(bytes.size() - count);
    return bytes;
}

Bytes Appended(Bytes bytes, const Bytes& more)
{
    bytes.insert(bytes.end(), more.begin(), more.end());
    return bytes;
}

const Bytes kStored = StoredZlibStream(Pattern(100).data(), 100);

INSTANTIATE_TEST_SUITE_P(
    Restore, BrokenBlocks,
    testing::Values(
        BlockCase{"ChecksumMismatch", Block(Changed(kStored, kStored.size() - 1, kStored.back() ^ 1)), 100, 6},
        BlockCase{"BadZlibHeader", Block(Changed(kStored, 0, 0)), 0, 6},
        BlockCase{"StreamEndsAfterTheBlock", Block(Cut(kStored, 4)), 100, 6},
        BlockCase{"InflatesBeyondOneBuffer", Block(Deflate(Bytes(16385, 7))), 16384, 6},
        BlockCase{"InflatesToExactlyOneBuffer", Block(Deflate(Bytes(16384, 7))), 16384, 0},
        BlockCase{"TrailingBytesAfterTheStream", Block(Appended(kStored, {1, 2, 3})), 100, 0},
        BlockCase{"RawBlockAboveTheLimit", Block(Pattern(16385), false), 0, 1}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(RestoreFixture, AnArchiveEndingInsideAWrittenBlockIsError1)
{
    const Bytes archive = RawArchive().Header(300).Entry("c:\\a.bin").Int32(-300).Data(Pattern(100)).bytes;
    EXPECT_FALSE(RestoreBytes(backup, archive, scratch.Folder()));
    EXPECT_EQ(events.errors, kCannotReadFile);
    EXPECT_TRUE(FileThere(scratch / "a.bin"));
}

TEST_F(RestoreFixture, ATargetThatCannotBeReplacedIsError1WithoutOnFileRestored)
{
    const std::string readOnly = scratch / "a.bin";
    WriteWithStamp(readOnly, Pattern(5), kOlder);
    MakeReadOnly(readOnly, true);
    EXPECT_FALSE(RestoreBytes(backup, WithFollower(RawArchive().Header(10).Entry("c:\\a.bin").RawBlock(Pattern(10)).End()),
                              scratch.Folder()));
    EXPECT_EQ(events.errors, kCannotReadFile);
    EXPECT_TRUE(events.restored.empty());
    EXPECT_EQ(ReadAll(readOnly), Pattern(5));
    MakeReadOnly(readOnly, false);

    // A folder in the way of the target.
    events.Clear();
    std::filesystem::create_directory(std::filesystem::path(scratch.Folder()) / "c.bin");
    EXPECT_FALSE(RestoreBytes(backup, WithFollower(RawArchive().Header(10).Entry("c:\\c.bin").RawBlock(Pattern(10)).End()),
                              scratch.Folder()));
    EXPECT_EQ(events.errors, kCannotReadFile);
    EXPECT_TRUE(events.restored.empty());
}

// A name in the folder that is a link, or no plain file, is never written
// through: the file it leads to stays as it was, nothing appears elsewhere,
// and nothing hangs.
TEST_F(RestoreFixture, TargetsThatAreLinksOrNoPlainFilesAreError1)
{
    namespace fs = std::filesystem;
    const fs::path base(scratch.Folder());
    const std::string in = scratch / "in";
    fs::create_directory(base / "in");
    const fs::path target = base / "in" / "x.txt", victim = base / "victim.txt", elsewhere = base / "new.txt";
    const std::vector<std::pair<const char*, std::function<void()>>> cases{
        {"hard link", [&] { fs::create_hard_link(victim, target); }},
#ifndef _WIN32
        {"symbolic link", [&] { fs::create_symlink(victim, target); }},
        {"dangling symbolic link", [&] { fs::create_symlink(elsewhere, target); }},
        {"FIFO", [&] { ASSERT_EQ(mkfifo(target.c_str(), 0600), 0); }},
#endif
    };
    const Bytes archive = RawArchive().Header(10).Entry("c:\\x.txt").RawBlock(Pattern(10)).End().End().bytes;
    for (const auto& [what, make] : cases) {
        SCOPED_TRACE(what);
        events.Clear();
        WriteAll(scratch / "victim.txt", Pattern(3));
        make();
        EXPECT_FALSE(RestoreBytes(backup, archive, in));
        EXPECT_EQ(events.errors, kCannotReadFile);
        EXPECT_EQ(ReadAll(scratch / "victim.txt"), Pattern(3));
        EXPECT_FALSE(fs::exists(elsewhere));
        fs::remove(target);
    }
}

#ifndef _WIN32
// With full paths, a folder below the one given that is a symbolic link is
// not followed: neither the file nor a folder under it lands where it leads.
TEST_F(RestoreFixture, AFolderBelowTheGivenOneThatIsALinkIsError1)
{
    namespace fs = std::filesystem;
    const fs::path base(scratch.Folder());
    fs::create_directories(base / "in");
    fs::create_directory(base / "elsewhere");
    fs::create_directory_symlink(base / "elsewhere", base / "in" / "a");
    backup.SetRestoreFullPath(true);
    for (const char* stored : {"c:\\a\\x.txt", "c:\\a\\b\\x.txt"}) {
        SCOPED_TRACE(stored);
        events.Clear();
        EXPECT_FALSE(RestoreBytes(backup, WriterArchive({{stored, kStamp, Pattern(10)}}), scratch / "in"));
        EXPECT_EQ(events.errors, kCannotReadFile);
        EXPECT_TRUE(Listing(scratch / "elsewhere").empty());
    }
}
#endif

TEST_F(RestoreFixture, AFullDiskIsError1)
{
    RecordingFileSystem files;
    files.diskSpace = 20000;
    backup.SetFileSystem(&files);
    const Bytes archive = WriterArchive({{"c:\\a.bin", kStamp, Pattern(40000)}, {"c:\\b.bin", kStamp, Pattern(10)}});
    EXPECT_FALSE(RestoreBytes(backup, archive, scratch.Folder()));
    EXPECT_EQ(events.errors, kCannotReadFile);
    EXPECT_EQ(ReadAll(scratch / "a.bin").size(), 20000u);
    EXPECT_FALSE(FileThere(scratch / "b.bin"));
}

struct EscapeCase {
    std::string storedName;
    bool fullPath;
};

void PrintTo(const EscapeCase& c, std::ostream* out)
{
    *out << '"' << PrintableText(c.storedName) << (c.fullPath ? "\" with full path" : "\"");
}

class Escapes : public RestoreFixture, public testing::WithParamInterface<EscapeCase> {};

TEST_P(Escapes, NeverWriteOutsideTheFolder)
{
    backup.SetRestoreFullPath(GetParam().fullPath);
    const std::string inner = scratch / "inner";
    ASSERT_TRUE(std::filesystem::create_directory(std::filesystem::path(scratch.Folder()) / "inner"));
    const Bytes archive =
        WithFollower(RawArchive().Header(10).Entry(GetParam().storedName).RawBlock(Pattern(10)).End());
    EXPECT_FALSE(RestoreBytes(backup, archive, inner));
    EXPECT_EQ(events.errors, kCannotReadFile);
    EXPECT_EQ(Listing(scratch.Folder()), std::vector<std::string>{"inner"});
    EXPECT_TRUE(Listing(inner).empty());
}

INSTANTIATE_TEST_SUITE_P(Restore, Escapes,
                         testing::Values(EscapeCase{"..", false}, EscapeCase{".", false},
                                         EscapeCase{"c:\\dir\\..", false}, EscapeCase{"c:\\dir/..", false},
                                         EscapeCase{"c:\\dir\\", false}, EscapeCase{"c:", false},
                                         EscapeCase{"c:\\..\\evil.txt", true},
                                         EscapeCase{"c:\\a\\..\\..\\evil.txt", true},
                                         EscapeCase{"c:\\a/../../evil.txt", true},
                                         EscapeCase{"c:/../evil.txt", true}, EscapeCase{"c:\\a\\..", true},
                                         EscapeCase{"c:", true},
                                         // Names that are no plain file of that name.
                                         EscapeCase{std::string("c:\\good.txt\0evil", 16), false},
                                         EscapeCase{"c:\\bell\a.txt", false}, EscapeCase{"c:\\NUL", false},
                                         EscapeCase{"c:\\aux.txt", false}, EscapeCase{"c:\\com1", false},
                                         EscapeCase{"c:\\con.", false}, EscapeCase{"c:\\...", false},
                                         EscapeCase{"c:\\a\\b.txt:stream", true},
                                         EscapeCase{"c:\\lpt3\\b.txt", true},
                                         // A folder name that loses its last dot becomes "..";
                                         // one that still ends in a dot would lose another
                                         // where the system is handed the path ("..." to "..").
                                         EscapeCase{"c:\\...\\evil.txt", true},
                                         EscapeCase{"c:\\....\\evil.txt", true}),
                         [](const auto& info) { return "Name" + std::to_string(info.index); });

// The restore mode and OnRestoreFile decide first; the name rules judge
// only what is then about to be written, as Windows would write it.
TEST_F(RestoreFixture, TheNameRulesJudgeThePathAboutToBeWritten)
{
    backup.OnRestoreFile = [&](TObject*, std::string& file, std::int32_t, bool& doRestore) {
        events.offered.push_back(file);
        if (file == scratch / "nul.txt")
            file = scratch / "nul-file.txt";
        doRestore = file != scratch / "con";
    };
    const Bytes archive = WriterArchive({{"c:\\con", kStamp, Pattern(1)},
                                         {"c:\\nul.txt", kStamp, Pattern(2)},
                                         {"c:\\setup.ins. .", kStamp, Pattern(3)},
                                         {"c:\\del\x7F.txt", kStamp, Pattern(4)}});
    ASSERT_TRUE(RestoreBytes(backup, archive, scratch.Folder()));
    EXPECT_EQ(events.offered.size(), 4u);
    EXPECT_EQ(Listing(scratch.Folder()), (std::vector<std::string>{"del\x7F.txt", "nul-file.txt", "setup.ins"}));
    EXPECT_EQ(ReadAll(scratch / "setup.ins"), Pattern(3));
    EXPECT_EQ(events.restored.back(), scratch / "del\x7F.txt");
}

// A replaced file is a new one: it keeps none of the old file's attributes
// (POSIX: permissions) but has those a new file gets.
TEST_F(RestoreFixture, AReplacedFileHasTheAttributesOfANewOne)
{
    const std::string old = scratch / "old.bin", fresh = scratch / "new.bin";
    WriteAll(old, Pattern(50));
#ifdef _WIN32
    const auto attributes = [](const std::string& path) { return GetFileAttributesA(path.c_str()); };
    ASSERT_TRUE(SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_NOT_CONTENT_INDEXED));
#else
    const std::filesystem::path folder(scratch.Folder());
    const auto attributes = [&](const std::string& path) {
        struct stat st {};
        return ::stat((folder / FileNamePart(path)).c_str(), &st) == 0 ? st.st_mode : 0;
    };
    ASSERT_EQ(::chmod((folder / "old.bin").c_str(), 0750), 0);
#endif
    ASSERT_TRUE(RestoreBytes(
        backup, WriterArchive({{"c:\\old.bin", kStamp, Pattern(5)}, {"c:\\new.bin", kStamp, Pattern(5)}}),
        scratch.Folder()));
    EXPECT_EQ(ReadAll(old), Pattern(5));
    EXPECT_EQ(attributes(old), attributes(fresh));
}

TEST_F(RestoreFixture, ABareStoredNameWithoutAFolderCannotBePlaced)
{
    const std::string name = scratch / "bare.arc";
    WriteAll(name, WriterArchive({{"bare.txt", kStamp, Pattern(5)}}));
    try {
        backup.Restore(name, "");
        ADD_FAILURE() << "no exception";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Unable to create directory");
    }
    EXPECT_FALSE(std::filesystem::exists("bare.txt"));
}

}  // namespace
}  // namespace lumora::archive::test
