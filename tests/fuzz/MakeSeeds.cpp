// Writes the seed corpora of the fuzz targets into the folder named by its
// argument, one subfolder per target (restore, survey, setup-ins): small
// valid inputs that reach every part of the code under test.
//
//   make_fuzz_seeds tests/fuzz/corpus
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ArchiveBytes.h"
#include "FuzzInput.h"
#include "PeImageBytes.h"
#include "payload/SolidPayload.h"
#include "archive/ArchiveInput.h"
#include "archive/ArchiveWriter.h"
#include "archive/backup.h"
#include "base/MemoryStream.h"
#include "base/StdioFileStream.h"

using namespace lumora;
using namespace lumora::archive;
using lumora::archive::testing::ArchiveBytes;
using lumora::fuzz::Bytes;

namespace {

constexpr std::uint32_t kStamp = 0x2E3F35EE;

Bytes Data(std::size_t size, unsigned seed)
{
    Bytes data(size);
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<unsigned char>(i * seed / 5);
    return data;
}

Bytes Part(const Bytes& data, std::size_t from, std::size_t to)
{
    return Bytes(data.begin() + static_cast<std::ptrdiff_t>(from), data.begin() + static_cast<std::ptrdiff_t>(to));
}

Bytes Archive(const std::vector<ArchiveInput>& inputs, Compression compression)
{
    MemoryStream out;
    WriteArchive(out, "Setup", inputs, compression);
    return out.Bytes();
}

// The payload's kinds of entries, shortened, in the shipped arrangement.
Bytes PayloadLike()
{
    return Archive({MemoryInput("c:\\lumora\\cd.jpg", kStamp, Data(700, 3)),
                    MemoryInput("c:\\lumora\\setup.ins", kStamp + 45, Data(143, 1)),
                    MemoryInput("c:\\lumora\\empty.txt", kStamp - 0x70000, {})},
                   Compression::Stored);
}

// Deflated blocks, a file list and nested folders.
Bytes Deflated()
{
    return Archive({MemoryInput("c:\\a\\b\\one.bin", kStamp, Data(20000, 7)),
                    MemoryInput("FILE:LIST", kStamp, Data(60, 2)),
                    MemoryInput("c:\\a\\two.txt", kStamp, Data(300, 11))},
                   Compression::Deflate);
}

// Three volumes: a.bin breaks after its first block, b.txt lies whole in the
// second, c.bin breaks between the second and the third. A name length
// passed over stands before b.txt.
std::vector<Bytes> VolumeSet()
{
    const Bytes a = Data(300, 3);
    const Bytes c = Data(200, 5);
    return {ArchiveBytes()
                .Header("Setup", 600, 3)
                .Entry("c:\\v\\a.bin", kStamp)
                .RawBlock(Part(a, 0, 100))
                .Int32(0)
                .Counted("NEXT:DISK002")
                .Get(),
            ArchiveBytes()
                .Magic()
                .RawBlock(Part(a, 100, 300))
                .Int32(0)
                .Int32(-7)
                .Entry("c:\\v\\b.txt", kStamp)
                .RawBlock(Data(100, 9))
                .Int32(0)
                .Entry("c:\\v\\c.bin", kStamp)
                .RawBlock(Part(c, 0, 50))
                .Int32(0)
                .Counted("NEXT:DISK003")
                .Get(),
            ArchiveBytes().Magic().RawBlock(Part(c, 50, 200)).Int32(0).Int32(0).Get()};
}

// An installer: an executable image, the archive, the trailer; signed, a
// certificate table after the trailer.
Bytes Installer(const Bytes& archive, bool sign)
{
    constexpr std::uint32_t kTable = 64;
    const std::size_t imageEnd = 0x400;
    const std::size_t signature = sign ? kTable : 0;
    const std::uint32_t tableAt = static_cast<std::uint32_t>(imageEnd + archive.size() + 4);
    Bytes file = testing::PeImageBytes(sign ? tableAt : 0, signature, archive.size() + 4 + signature);
    std::copy(archive.begin(), archive.end(), file.begin() + imageEnd);
    testing::Put32(file, imageEnd + archive.size(), imageEnd);
    return file;
}

// The archive as a solid payload: its record, then the compressed stream.
Bytes Solid(const Bytes& archive)
{
    MemoryStream in(archive);
    MemoryStream out;
    setuppack::WriteSolidPayload(in, archive.size(), 1, out);
    return out.Bytes();
}

void Write(const std::filesystem::path& file, const Bytes& bytes)
{
    StdioFileStream out(file.string(), StdioFileStream::Mode::Create);
    out.WriteBuffer(bytes.data(), bytes.size());
    out.Close();
}

// Control bytes of restore_fuzz (see RestoreFuzzer.cpp).
Bytes RestoreControl(unsigned char options, unsigned char cancelAt, unsigned char disks,
                     std::vector<unsigned char> entries = {})
{
    Bytes control{options, cancelAt, disks};
    entries.resize(8, 0);
    control.insert(control.end(), entries.begin(), entries.end());
    return control;
}

constexpr unsigned char kFullPath = 1;
constexpr unsigned char kByName = 0x10;
constexpr unsigned char kOnRequest = 0x20;
constexpr unsigned char kSwap = 0x40;
unsigned char Mode(TRestoreMode mode) { return static_cast<unsigned char>(mode << 1); }

void RestoreSeeds(const std::filesystem::path& folder)
{
    using fuzz::JoinInput;
    const auto seed = [&](const char* name, const Bytes& control, const std::vector<Bytes>& volumes) {
        Write(folder / name, JoinInput(control, volumes));
    };
    seed("payload-like", RestoreControl(0, 0, 0), {PayloadLike()});
    seed("full-path-by-name", RestoreControl(kFullPath | kByName, 0, 0), {Deflated()});
    // What may stand where an entry goes: an older and a newer file, a
    // read-only one, links of every kind, a FIFO and a folder.
    seed("newer-over-existing", RestoreControl(Mode(rmNewer), 0, 0, {1, 2, 3}), {PayloadLike()});
    seed("links-in-the-way", RestoreControl(Mode(rmAll), 0, 0x40, {4, 6, 7}), {PayloadLike()});
    seed("more-in-the-way", RestoreControl(kByName, 0, 0, {5, 8, 9}), {PayloadLike()});
    seed("existing-only", RestoreControl(Mode(rmExistingNewer), 0, 0, {1, 11, 12}), {PayloadLike()});
    // OnRestoreFile turns the first decision round and redirects the second.
    seed("redirected", RestoreControl(Mode(rmNoOverwrite), 0, 0, {0x11, 0x20}), {PayloadLike()});
    seed("cancelled", RestoreControl(kFullPath | kByName, 2, 0), {Deflated()});
    seed("volumes-by-name", RestoreControl(kByName, 0, 2), VolumeSet());
    seed("volumes-on-request", RestoreControl(kByName | kOnRequest | kSwap, 0, 3), VolumeSet());
    seed("volume-in-a-stream", RestoreControl(0, 0, 2), VolumeSet());
}

void SurveySeeds(const std::filesystem::path& folder)
{
    const Bytes bare{1};
    const Bytes installer{0};
    Write(folder / "installer", fuzz::JoinInput(installer, {Installer(PayloadLike(), false)}));
    Write(folder / "signed-installer", fuzz::JoinInput(installer, {Installer(Deflated(), true)}));
    Write(folder / "solid-installer",
          fuzz::JoinInput(installer, {Installer(Solid(Archive({MemoryInput("c:\\s\\one.bin", kStamp, Data(9000, 7)),
                                                               MemoryInput("c:\\s\\two.txt", kStamp, Data(300, 11))},
                                                              Compression::Stored)),
                                                false)}));
    Write(folder / "bare-volumes", fuzz::JoinInput(bare, VolumeSet()));
    Write(folder / "bare-deflated", fuzz::JoinInput(bare, {Deflated()}));
}

void SetupInsSeeds(const std::filesystem::path& folder)
{
    const auto text = [](std::string s) { return Bytes(s.begin(), s.end()); };
    Write(folder / "sample",
          text("False\r\nAurora Dreams\r\nAurora.scr\r\nLumora Demo 2026\r\nFalse\r\nNONE\r\nFalse\r\nTrue\r\n"
               "cd.jpg\r\ncd.jpg\r\nFalse\r\n255\r\n0\r\n0\r\n0\r\n"));
    Write(folder / "hex-and-read-me",
          text("True\r\nT\r\ns.scr\r\nF\r\nTrue\r\nread.txt\r\nTrue\r\nFalse\r\nc.jpg\r\ni.jpg\r\nTRUE\r\n"
               "$FF\r\n-0x10\r\n  7 rest\r\n$00FF8040\r\n\x1a"));
    Write(folder / "short", text("True\r\nonly two lines\n"));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: make_fuzz_seeds FOLDER\n", stderr);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    for (const char* target : {"restore", "survey", "setup-ins"})
        std::filesystem::create_directories(folder / target);
    RestoreSeeds(folder / "restore");
    SurveySeeds(folder / "survey");
    SetupInsSeeds(folder / "setup-ins");
    return 0;
}
