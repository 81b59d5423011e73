#include <gtest/gtest.h>

#include <filesystem>

#include "RestoreFixture.h"

namespace lumora::archive::test {
namespace {

// Three files over three volumes: a.bin breaks after its first block in the
// first volume, b.txt lies whole in the second, c.bin breaks between the
// second and the third.
class VolumeSet : public RestoreFixture {
protected:
    VolumeSet()
    {
        const Bytes& a = data[0];
        const Bytes& c = data[2];
        const auto part = [](const Bytes& d, std::size_t from, std::size_t to) {
            return Bytes(d.begin() + static_cast<std::ptrdiff_t>(from), d.begin() + static_cast<std::ptrdiff_t>(to));
        };
        WriteAll(first, RawArchive()
                            .Header(static_cast<std::int32_t>(a.size() + data[1].size() + c.size()), 3)
                            .Entry("c:\\v\\a.bin", kOlder)
                            .RawBlock(part(a, 0, 16384))
                            .End()
                            .Text("NEXT:DISK002")
                            .bytes);
        WriteAll(scratch / "set.002", RawArchive()
                                          .Magic()
                                          .RawBlock(part(a, 16384, 32768))
                                          .ZlibBlock(Deflate(part(a, 32768, a.size())))
                                          .End()
                                          .Entry("c:\\v\\b.txt", kStamp)
                                          .ZlibBlock(Deflate(data[1]))
                                          .End()
                                          .Entry("c:\\v\\c.bin", kNewer)
                                          .RawBlock(part(c, 0, 16384))
                                          .End()
                                          .Text("NEXT:DISK003")
                                          .bytes);
        WriteAll(scratch / "set.003", RawArchive().Magic().RawBlock(part(c, 16384, c.size())).End().End().bytes);
        std::filesystem::create_directory(std::filesystem::path(scratch.Folder()) / "out");
    }

    const std::vector<Bytes> data{Pattern(40000, 1), Pattern(500, 2), Pattern(20000, 3)};
    const std::vector<std::string> names{"a.bin", "b.txt", "c.bin"};
    const std::vector<std::uint32_t> stamps{kOlder, kStamp, kNewer};
    const std::string first = scratch / "set.arc";
    const std::string out = scratch / "out";
};

TEST_F(VolumeSet, RestoresAcrossVolumesAskingForEachDisk)
{
    // Asked through OnNeedDisk, then through the user interface's box.
    for (const bool handler : {true, false}) {
        events.Clear();
        events.disksToAccept = 2;
        ui.okAnswers = 2;
        if (!handler)
            backup.OnNeedDisk = nullptr;
        ASSERT_TRUE(backup.Restore(first, out));
        for (std::size_t i = 0; i < 3; ++i) {
            const std::string target = out + "\\" + names[i];
            EXPECT_EQ(ReadAll(target), data[i]) << target;
            EXPECT_EQ(Age(target), static_cast<std::int32_t>(stamps[i])) << target;
        }
        EXPECT_EQ(backup.RestoredCount(), 3);
        // A file broken over volumes is shown to OnFileRestored per volume.
        EXPECT_EQ(events.restored, (std::vector<std::string>{out + "\\a.bin", out + "\\a.bin", out + "\\b.txt",
                                                             out + "\\c.bin", out + "\\c.bin"}));
        ASSERT_GE(events.progress.size(), 2u);
        EXPECT_EQ(events.progress[events.progress.size() - 2].percent, 100);
        if (handler) {
            EXPECT_EQ(events.disks, (std::vector<std::uint16_t>{2, 3}));
        } else {
            EXPECT_EQ(ui.diskRequests, (std::vector<std::string>{"Please insert disk 2 and click OK to continue.",
                                                                 "Please insert disk 3 and click OK to continue."}));
        }
    }
}

TEST_F(VolumeSet, AnInterruptedEntryThatIsSkippedStaysSkippedInTheNextVolume)
{
    events.disksToAccept = 2;
    backup.SetRestoreMode(rmNoOverwrite);
    WriteWithStamp(out + "\\a.bin", Pattern(3), kOlder);
    ASSERT_TRUE(backup.Restore(first, out));
    EXPECT_EQ(ReadAll(out + "\\a.bin"), Pattern(3));
    EXPECT_EQ(ReadAll(out + "\\c.bin"), data[2]);
    EXPECT_EQ(backup.RestoredCount(), 2);
}

TEST_F(VolumeSet, AMissingVolumeIsAskedForUntilCancel)
{
    std::filesystem::remove(std::filesystem::path(scratch.Folder()) / "set.003");
    events.disksToAccept = 3;
    EXPECT_FALSE(backup.Restore(first, out));
    EXPECT_EQ(events.disks, (std::vector<std::uint16_t>{2, 3, 3, 3}));
    EXPECT_TRUE(events.errors.empty());
    EXPECT_EQ(backup.ErrorCode(), 0);
    // c.bin keeps its first part and its stamp.
    EXPECT_EQ(ReadAll(out + "\\c.bin").size(), 16384u);
    EXPECT_EQ(Age(out + "\\c.bin"), static_cast<std::int32_t>(kNewer));
}

TEST_F(RestoreFixture, AVolumeMarkerInAStreamIsAskedForUntilCancel)
{
    backup.OnNeedDisk = nullptr;
    ui.okAnswers = 3;
    const Bytes archive =
        RawArchive().Header(20).Entry("c:\\a.bin").RawBlock(Pattern(10)).End().Text("NEXT:DISK007").bytes;
    EXPECT_FALSE(RestoreBytes(backup, archive, scratch.Folder()));
    EXPECT_EQ(ui.diskRequests, std::vector<std::string>(4, "Please insert disk 7 and click OK to continue."));
    EXPECT_TRUE(events.errors.empty());
    EXPECT_TRUE(ui.errorBoxes.empty());
    EXPECT_EQ(ReadAll(scratch / "a.bin"), Pattern(10));
    ASSERT_FALSE(events.progress.empty());
    EXPECT_EQ(events.progress.back().file, "");
    EXPECT_FALSE(events.progress.back().going);
}

}  // namespace
}  // namespace lumora::archive::test
