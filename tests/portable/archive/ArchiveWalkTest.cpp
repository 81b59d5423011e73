#include <gtest/gtest.h>

#include <limits>

#include "ArchiveBytes.h"
#include "Collector.h"
#include "archive/ArchiveWriter.h"

namespace lumora::archive {
namespace {

using testing::ArchiveBytes;
using testing::Walk;

std::vector<unsigned char> Abc() { return {'a', 'b', 'c'}; }

TEST(ArchiveWalk, PassesOverNegativeNameLengthsAndFlagsTheFileList)
{
    const auto bytes = ArchiveBytes()
                           .Header("", 3, 7)  // empty title; a count that disagrees
                           .Int32(-1)
                           .Int32(std::numeric_limits<std::int32_t>::min())
                           .Entry("FILE:LIST", 5)
                           .RawBlock({9, 9})
                           .Int32(0)
                           .Entry("c:\\dir\\a.txt", 6)
                           .RawBlock(Abc())
                           .Int32(0)
                           .Int32(-20)
                           .Int32(0)
                           .Get();
    for (const auto mode : {BlockData::Read, BlockData::Skip}) {
        const auto walked = Walk(bytes, mode);
        EXPECT_EQ(walked.passedOver, (std::vector<std::int32_t>{-1, std::numeric_limits<std::int32_t>::min(), -20}));
        ASSERT_EQ(walked.entries.size(), 2u);
        EXPECT_TRUE(walked.entries[0].info.fileList);
        EXPECT_FALSE(walked.entries[1].info.fileList);
        EXPECT_EQ(walked.entries[1].info.stamp, 6u);
        EXPECT_EQ(walked.end + 4, std::int64_t(bytes.size()));
        if (mode == BlockData::Read) {
            EXPECT_EQ(walked.entries[1].Data(), Abc());
        }
    }
}

TEST(ArchiveWalk, BytesAfterAZlibStreamAreConsumedWithItsBlock)
{
    auto stream = StoredZlibStream(Abc().data(), 3);
    stream.insert(stream.end(), {0xDE, 0xAD, 0xBE, 0xEF});
    const auto bytes = ArchiveBytes()
                           .Header("Setup", 6, 2)
                           .Entry("c:\\a", 1).ZlibBlock(stream).Int32(0)
                           .Entry("c:\\b", 1).RawBlock(Abc()).Int32(0)
                           .Int32(0)
                           .Get();
    const auto walked = Walk(bytes);
    ASSERT_EQ(walked.entries.size(), 2u);
    EXPECT_EQ(walked.entries[0].Data(), Abc());
    EXPECT_EQ(walked.entries[1].Data(), Abc());
}

TEST(ArchiveWalk, AVolumeMarkerContinuesTheEntryInTheNextVolume)
{
    const auto first = ArchiveBytes()
                           .Header("Setup", 6, 1)
                           .Entry("c:\\a", 1).RawBlock(Abc()).Int32(0)
                           .Counted("NEXT:DISK002")
                           .Get();
    const auto second = ArchiveBytes().Magic().RawBlock({'d', 'e', 'f'}).Int32(0).Int32(0).Get();

    testing::Collector collector;
    collector.volumes.push_back(std::make_unique<MemoryStream>(second));
    MemoryStream stream(first);
    EXPECT_EQ(WalkArchive(stream, collector), WalkEnd::EndMarker);
    EXPECT_EQ(collector.volumeMarkers, std::vector<std::string>{"NEXT:DISK002"});
    ASSERT_EQ(collector.entries.size(), 1u);
    EXPECT_EQ(collector.entries[0].Data(), (std::vector<unsigned char>{'a', 'b', 'c', 'd', 'e', 'f'}));
    EXPECT_EQ(NextVolumePath("c:\\set.arc", "NEXT:DISK002"), "c:\\set.002");

    // Without a next volume the walk stops at the marker.
    testing::Collector alone;
    MemoryStream again(first);
    EXPECT_EQ(WalkArchive(again, alone), WalkEnd::StoppedAtVolume);
}

struct Broken {
    const char* what;
    std::vector<unsigned char> bytes;
    bool invalidArchive;  // InvalidArchive rather than a plain read error
};

std::vector<Broken> BrokenArchives()
{
    const auto entry = [] { return ArchiveBytes().Header("Setup", 3, 1).Counted("c:\\a").Int32(1); };
    return {
        {"magic 45 43 32 41", entry().Bytes({0x45, 0x43, 0x32, 0x41}).Get(), true},
        {"magic without its zero", entry().Bytes({0x45, 0x43, 0x00, 0x00}).Get(), true},
        {"block length 16385", entry().Magic().Int32(16385).Get(), true},
        {"block length -16385", entry().Magic().Int32(-16385).Get(), true},
        {"block length INT32_MIN",
         entry().Magic().Int32(std::numeric_limits<std::int32_t>::min()).Get(), true},
        {"name length beyond the bound",
         ArchiveBytes().Header("Setup", 0, 1).Int32(kMaxNameLength + 1).Get(), true},
        {"title length beyond the bound",
         ArchiveBytes().Int32(kMaxNameLength + 1).Get(), true},
        {"negative title length", ArchiveBytes().Int32(-1).Int32(0).Int32(0).Int32(0).Get(), true},
        {"header cut short", ArchiveBytes().Counted("Setup").Int32(0).Get(), true},
        {"raw block longer than the data", entry().Magic().Int32(-100).Bytes({1, 2}).Get(), false},
        {"no end-of-archive marker", entry().Magic().RawBlock(Abc()).Int32(0).Get(), false},
    };
}

TEST(ArchiveWalk, BrokenArchivesThrowWithTheirPlace)
{
    for (const auto& broken : BrokenArchives()) {
        for (const auto mode : {BlockData::Read, BlockData::Skip}) {
            SCOPED_TRACE(broken.what);
            try {
                Walk(broken.bytes, mode);
                ADD_FAILURE() << "no exception";
            } catch (const InvalidArchive& e) {
                EXPECT_TRUE(broken.invalidArchive) << e.what();
                EXPECT_NE(std::string(e.what()).find("at offset"), std::string::npos) << e.what();
            } catch (const Error& e) {
                EXPECT_FALSE(broken.invalidArchive) << e.what();
                EXPECT_NE(std::string(e.what()).find("at offset"), std::string::npos) << e.what();
            }
        }
    }
}

TEST(ArchiveWalk, MessageNamesTheEntryTheBlockAndTheOffset)
{
    const auto bytes = ArchiveBytes()
                           .Header("Setup", 6, 1)
                           .Entry("c:\\dir\\b.txt", 1)
                           .RawBlock(Abc())
                           .Int32(20000)
                           .Get();
    const auto blockAt = bytes.size() - 4;
    try {
        Walk(bytes);
        FAIL() << "no exception";
    } catch (const InvalidArchive& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("entry \"c:\\dir\\b.txt\""), std::string::npos) << message;
        EXPECT_NE(message.find("block 2"), std::string::npos) << message;
        EXPECT_NE(message.find("offset " + std::to_string(blockAt)), std::string::npos) << message;
    }
}

TEST(ArchiveWalk, EveryTruncationThrowsAndNeverOverruns)
{
    MemoryStream out;
    WriteArchive(out, "Setup",
                 {MemoryInput("c:\\a.bin", 1, testing::NoiseBytes(16384 + 50)),
                  MemoryInput("c:\\empty", 2, {}), MemoryInput("c:\\b.txt", 3, Abc())});
    const auto& whole = out.Bytes();
    ASSERT_NO_THROW(Walk(whole));
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        const std::vector<unsigned char> part(whole.begin(), whole.begin() + std::ptrdiff_t(cut));
        for (const auto mode : {BlockData::Read, BlockData::Skip})
            EXPECT_THROW(Walk(part, mode), Error) << "cut at " << cut;
    }
}

}  // namespace
}  // namespace lumora::archive
