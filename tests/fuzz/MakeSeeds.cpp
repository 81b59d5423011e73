// Writes the seed corpus of restore_fuzz into the folder named by its
// argument: small valid archives made by the archive writer, each behind
// the fuzzer's option byte.
#include <cstdio>
#include <string>
#include <vector>

#include "archive/ArchiveInput.h"
#include "archive/ArchiveLayout.h"
#include "archive/ArchiveWriter.h"
#include "base/MemoryStream.h"
#include "base/StdioFileStream.h"

using namespace lumora;
using namespace lumora::archive;

namespace {

std::vector<unsigned char> Data(std::size_t size, unsigned seed)
{
    std::vector<unsigned char> data(size);
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<unsigned char>(i * seed / 5);
    return data;
}

void Seed(const std::string& folder, const char* name, unsigned char options,
          const std::vector<ArchiveInput>& inputs, Compression compression)
{
    MemoryStream archive;
    archive.WriteBuffer(&options, 1);
    WriteArchive(archive, "Setup", inputs, compression);
    StdioFileStream out(folder + "/" + name, StdioFileStream::Mode::Create);
    out.WriteBuffer(archive.Bytes().data(), archive.Bytes().size());
    out.Close();
}

void Int32(MemoryStream& out, std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    const unsigned char bytes[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                    static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    out.WriteBuffer(bytes, sizeof bytes);
}

void Text(MemoryStream& out, const std::string& text)
{
    Int32(out, static_cast<std::int32_t>(text.size()));
    out.WriteBuffer(text.data(), text.size());
}

// The writer makes no volume markers: one entry interrupted by a marker,
// written field by field.
void VolumeSeed(const std::string& folder)
{
    MemoryStream archive;
    const unsigned char options = 0;
    archive.WriteBuffer(&options, 1);
    Text(archive, "Setup");
    Int32(archive, 40);
    Int32(archive, 1);
    Text(archive, "c:\\split.bin");
    Int32(archive, 0x2E3F35EE);
    archive.WriteBuffer(kBlockMagic, sizeof kBlockMagic);
    const auto data = Data(20, 9);
    Int32(archive, -static_cast<std::int32_t>(data.size()));
    archive.WriteBuffer(data.data(), data.size());
    Int32(archive, 0);
    Text(archive, "NEXT:DISK002");
    StdioFileStream out(folder + "/volume-marker", StdioFileStream::Mode::Create);
    out.WriteBuffer(archive.Bytes().data(), archive.Bytes().size());
    out.Close();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: make_restore_seeds FOLDER\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];
    // The payload's kinds of entries, shortened, in the shipped arrangement.
    Seed(folder, "payload-like", 0,
         {MemoryInput("c:\\lumora\\cd.jpg", 0x2E3F35EE, Data(700, 3)),
          MemoryInput("c:\\lumora\\setup.ins", 0x2E3F361B, Data(143, 1)),
          MemoryInput("c:\\lumora\\empty.txt", 0x2E3884C7, {})},
         Compression::Stored);
    // Deflated blocks, a file list and nested folders kept with full paths.
    Seed(folder, "full-path-deflated", 1,
         {MemoryInput("c:\\a\\b\\one.bin", 0x2E3F35EE, Data(900, 7)),
          MemoryInput("FILE:LIST", 0x2E3F35EE, Data(60, 2)),
          MemoryInput("c:\\a\\two.txt", 0x2E3F35EE, Data(300, 11))},
         Compression::Deflate);
    // Newer-only mode over one file.
    Seed(folder, "newer-mode", 2 << 1, {MemoryInput("d:\\x.dat", 0x2E3F35EE, Data(200, 5))},
         Compression::Stored);
    VolumeSeed(folder);
    return 0;
}
