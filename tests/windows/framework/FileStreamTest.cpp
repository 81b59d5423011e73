#include <gtest/gtest.h>

#include "base/Error.h"
#include "framework/FileStream.h"
#include "support/TempFiles.h"

namespace lumora::test {
namespace {

TEST(FileStream, SeeksRefuseNegativePositionsAndAcceptPositionsBeyondTheEnd)
{
    TempFile file("stream.bin");
    TFileStream stream(file.Path(), GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS);
    const unsigned char bytes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(stream.Write(bytes, sizeof bytes), sizeof bytes);

    EXPECT_EQ(stream.Seek(3, Stream::Origin::Begin), 3);
    EXPECT_EQ(stream.Seek(-4, Stream::Origin::Begin), -1);
    EXPECT_EQ(stream.Seek(-4, Stream::Origin::Current), -1);
    EXPECT_EQ(stream.Position(), 3);
    unsigned char b = 0;
    EXPECT_EQ(stream.Read(&b, 1), 1u);
    EXPECT_EQ(b, 4);

    EXPECT_EQ(stream.Seek(-2, Stream::Origin::End), 8);
    EXPECT_EQ(stream.Seek(1000, Stream::Origin::Begin), 1000);
    EXPECT_EQ(stream.Read(&b, 1), 0u);
    EXPECT_EQ(stream.Size(), 10);
    // Positions past 4 GiB take the high part of the file pointer.
    EXPECT_EQ(stream.Seek(0x100000010LL, Stream::Origin::Begin), 0x100000010LL);
}

TEST(FileStream, OpensWithTheCallersAccessAndSharing)
{
    TempFile file("shared.bin", {0x41, 0x42});
    {
        TFileStream reader(file.Path(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
        const unsigned char b = 0;
        EXPECT_EQ(reader.Write(&b, 1), 0u);  // opened for reading only
        // Others may write while it is open ...
        TFileStream writer(file.Path(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    }
    // ... unless the stream shares nothing.
    TFileStream exclusive(file.Path(), GENERIC_READ, 0, OPEN_EXISTING);
    EXPECT_THROW(TFileStream(file.Path(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING), Error);
}

TEST(FileStream, AFileThatCannotBeOpenedThrowsAnErrorNamingIt)
{
    const std::string missing = "C:\\no such folder\\missing.bin";
    try {
        TFileStream stream(missing, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
        FAIL() << "opened a missing file";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace lumora::test
