#include "BenchArchive.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "archive/ArchiveInput.h"
#include "archive/ArchiveLayout.h"
#include "archive/ArchiveWriter.h"
#include "archive/BlockEncoder.h"
#include "base/Error.h"
#include "base/StdioFileStream.h"

namespace lumora::bench {

namespace {

constexpr std::int64_t kFileSize = kBenchFileSize;
constexpr std::size_t kBlock = archive::kMaxBlockSize;
constexpr int kVariants = 16;

class Out {
public:
    explicit Out(const std::string& path) : file_(path, StdioFileStream::Mode::Create) {}
    void Int32(std::int32_t value)
    {
        const auto v = static_cast<std::uint32_t>(value);
        const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                    static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
        file_.WriteBuffer(b, sizeof b);
    }
    void Bytes(const void* data, std::size_t size) { file_.WriteBuffer(data, size); }
    void Text(const std::string& text)
    {
        Int32(static_cast<std::int32_t>(text.size()));
        Bytes(text.data(), text.size());
    }
    void Close() { file_.Close(); }

private:
    StdioFileStream file_;
};

// Deflated blocks are taken from a few prepared variants, so that making a
// large archive does not spend its time compressing.
std::vector<archive::EncodedBlock> CompressedVariants()
{
    std::vector<archive::EncodedBlock> variants;
    std::vector<unsigned char> text(kBlock);
    for (int v = 0; v < kVariants; ++v) {
        for (std::size_t i = 0; i < kBlock; ++i)
            text[i] = static_cast<unsigned char>("the quick brown fox jumps over the lazy dog "[(i * (v + 1) / 3) % 44]);
        variants.push_back(archive::EncodeBlock(text.data(), kBlock, false, archive::Compression::Deflate));
        if (variants.back().length <= 0)
            throw Error("a text block did not compress");
    }
    return variants;
}

std::vector<unsigned char> ReadWhole(const std::string& path)
{
    StdioFileStream in(path, StdioFileStream::Mode::Read);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(in.Size()));
    in.ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

// About 64 KiB of text from a small vocabulary, chosen by `state`.
std::string TextRun(std::uint32_t& state)
{
    static const char* const kWords[] = {"the",     "setup",   "program", "restores", "each",    "file",
                                         "of",      "its",     "payload", "into",     "folder",  "and",
                                         "writes",  "blocks",  "sixteen", "kilobytes", "screen", "saver",
                                         "picture", "window",  "wizard",  "copies",   "registry", "entry"};
    std::string text;
    while (text.size() < 65536) {
        state = state * 1664525u + 1013904223u;
        text += kWords[(state >> 16) % (sizeof kWords / sizeof kWords[0])];
        text += (state >> 8) % 11 == 0 ? ".\r\n" : " ";
    }
    return text;
}

}  // namespace

std::vector<std::string> WriteCompressibleFiles(const std::string& folder, int count,
                                                const std::string& executable)
{
    const std::vector<unsigned char> program = ReadWhole(executable);
    if (program.size() < 65536)
        throw Error(executable + " is too small to take pieces from");
    std::filesystem::create_directories(folder);
    std::vector<std::string> paths;
    std::uint32_t state = 12345;
    for (int f = 0; f < count; ++f) {
        const std::string path = (std::filesystem::path(folder) / ("file" + std::to_string(f) + ".bin")).string();
        Out out(path);
        std::int64_t written = 0;
        for (std::size_t piece = static_cast<std::size_t>(f); written < kFileSize; ++piece) {
            const std::size_t from = piece * 7919 * 16 % (program.size() - 65536);
            const std::string text = TextRun(state);
            const std::int64_t room = kFileSize - written;
            const auto take = static_cast<std::size_t>(std::min<std::int64_t>(65536, room));
            out.Bytes(program.data() + from, take);
            written += static_cast<std::int64_t>(take);
            const auto words = static_cast<std::size_t>(std::min<std::int64_t>(
                static_cast<std::int64_t>(text.size()), kFileSize - written));
            out.Bytes(text.data(), words);
            written += static_cast<std::int64_t>(words);
        }
        out.Close();
        paths.push_back(path);
    }
    return paths;
}

void WriteDeflatedArchive(const std::string& path, const std::vector<std::string>& files)
{
    std::vector<archive::ArchiveInput> inputs;
    for (const std::string& file : files)
        inputs.push_back(archive::FileInput(file));
    StdioFileStream out(path, StdioFileStream::Mode::Create);
    archive::WriteArchive(out, archive::kDefaultTitle, inputs, archive::Compression::Deflate);
    out.Close();
}

std::int64_t WriteBenchArchive(const std::string& path, std::int64_t fileBytes)
{
    const auto variants = CompressedVariants();
    const std::int64_t files = fileBytes / kFileSize;
    const std::int64_t blocksPerFile = kFileSize / static_cast<std::int64_t>(kBlock);
    std::vector<std::uint32_t> raw(kBlock / 4);
    std::uint32_t state = 2463534242u;

    Out out(path);
    out.Text("Setup");
    out.Int32(static_cast<std::int32_t>(files * kFileSize));
    out.Int32(static_cast<std::int32_t>(files));
    for (std::int64_t f = 0; f < files; ++f) {
        out.Text("c:\\bench\\file" + std::to_string(f) + ".bin");
        out.Int32(0x2E3F35EE);
        out.Bytes(archive::kBlockMagic, sizeof archive::kBlockMagic);
        for (std::int64_t b = 0; b < blocksPerFile; ++b) {
            if (b % 8 == 7) {
                const archive::EncodedBlock& block = variants[static_cast<std::size_t>((f + b) % kVariants)];
                out.Int32(block.length);
                out.Bytes(block.data.data(), block.data.size());
                continue;
            }
            for (std::uint32_t& word : raw) {
                state ^= state << 13;
                state ^= state >> 17;
                state ^= state << 5;
                word = state;
            }
            out.Int32(-static_cast<std::int32_t>(kBlock));
            out.Bytes(raw.data(), kBlock);
        }
        out.Int32(0);
    }
    out.Int32(0);
    out.Close();
    return files * kFileSize;
}

}  // namespace lumora::bench
