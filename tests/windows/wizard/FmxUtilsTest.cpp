#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include "InstallTestSupport.h"
#include "wizard/FmxUtils.h"

namespace lumora::test {
namespace {

TEST(CopyFileByChunks, CopiesEveryByteAroundTheChunkSizeAndReplacesALongerFile)
{
    ScratchFolder folder("copy-sizes");
    const std::string source = folder / "source.bin";
    const std::string destination = folder / "destination.bin";
    for (const std::size_t size : {0u, 1u, 8191u, 8192u, 8193u, 3u * 8192u + 5u}) {
        SCOPED_TRACE(size);
        const Bytes content = Pattern(size, static_cast<unsigned>(size));
        WriteBytes(source, content);
        // Something longer is there already: nothing of it may stay.
        WriteBytes(destination, Pattern(5 * 8192, 99));
        CopyFileByChunks(source, destination);
        EXPECT_EQ(ReadBytes(destination), content);
    }
}

TEST(CopyFileByChunks, ARelativeDestinationIsInTheCurrentFolderAndNamedInFull)
{
    ScratchFolder folder("copy-relative");
    const std::string source = folder / "source.bin";
    WriteBytes(source, Pattern(100, 1));
    char saved[MAX_PATH + 1] = {};
    ASSERT_GT(GetCurrentDirectoryA(sizeof saved, saved), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
    CopyFileByChunks(source, "copy.bin");
    const std::string missing = ErrorOf([&] { CopyFileByChunks(source, "missing\\copy.bin"); });
    SetCurrentDirectoryA(saved);

    EXPECT_EQ(ReadBytes(folder / "copy.bin"), Pattern(100, 1));
    EXPECT_EQ(missing, "Cannot create file " + (folder / "missing\\copy.bin"));
}

TEST(CopyFileByChunks, FailuresNameTheFileAndLeaveTheDestinationAlone)
{
    ScratchFolder folder("copy-failures");
    const std::string source = folder / "source.bin";
    WriteBytes(source, Pattern(9000, 2));

    // The source is named as it was passed, and an existing destination is
    // not touched when the source cannot be opened.
    const std::string destination = folder / "destination.bin";
    WriteBytes(destination, Pattern(10, 3));
    EXPECT_EQ(ErrorOf([&] { CopyFileByChunks("no such file.bin", destination); }), "Cannot open file no such file.bin");
    EXPECT_EQ(ReadBytes(destination), Pattern(10, 3));

    // The open source lets no one write to it.
    EXPECT_EQ(ErrorOf([&] { CopyFileByChunks(source, source); }), "Cannot create file " + source);
    EXPECT_EQ(ReadBytes(source), Pattern(9000, 2));

    EXPECT_EQ(ErrorOf([&] { CopyFileByChunks(source, folder.Path()); }), "Cannot create file " + folder.Path());
}

TEST(CopyFileByChunks, AWriteOrReadThatFailsPartWayIsAnErrorNotAShortCopy)
{
    // Drive Z: of a Wine prefix is the host's root: /dev/full takes no byte
    // (the disk is full), and /proc/self/mem cannot be read from its start.
    ScratchFolder folder("copy-midway");
    const std::string source = folder / "source.bin";
    WriteBytes(source, Pattern(8193, 4));
    EXPECT_EQ(ErrorOf([&] { CopyFileByChunks(source, "Z:\\dev\\full"); }), "Cannot write file Z:\\dev\\full");

    EXPECT_EQ(ErrorOf([&] { CopyFileByChunks("Z:\\proc\\self\\mem", folder / "memory.bin"); }),
              "Cannot read file Z:\\proc\\self\\mem");
}

TEST(ShellRun, HandsOverLongTextsWholeAndReturnsTheShellsResult)
{
    // A program, parameters and working folder far longer than 79 characters.
    ScratchFolder folder("shellrun-" + std::string(90, 'p'));
    const std::string program = folder / "recorder with blanks.exe";
    ASSERT_TRUE(CopyFileA(RecorderProgram().c_str(), program.c_str(), FALSE));
    std::string parameters;
    for (int i = 0; parameters.size() < 300; ++i)
        parameters += "argument" + std::to_string(i) + " ";
    parameters += "end";
    const std::string record = folder / "record.txt";
    RecordStartsInto(record);

    const unsigned startedBefore = ProcessesStarted();
    EXPECT_GT(ShellRun(program, parameters, folder.Path(), SW_SHOW), 32);
    const std::optional<Record> started = WaitForRecord(record);
    ASSERT_TRUE(started);
    EXPECT_TRUE(SameText(started->module, program)) << started->module;
    EXPECT_EQ(started->arguments, parameters);
    EXPECT_TRUE(SameText(started->folder, folder.Path())) << started->folder;
    EXPECT_EQ(ProcessesStarted(), startedBefore + 1);

    // A program that is not there: the shell's "file not found", unchanged.
    EXPECT_EQ(ShellRun(folder / "missing.exe", "", "c:\\", SW_SHOW), SE_ERR_FNF);
    EXPECT_EQ(ProcessesStarted(), startedBefore + 1);
}

}  // namespace
}  // namespace lumora::test
