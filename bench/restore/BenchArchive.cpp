#include "BenchArchive.h"

#include <vector>

#include "archive/ArchiveLayout.h"
#include "archive/BlockEncoder.h"
#include "base/Error.h"
#include "base/StdioFileStream.h"

namespace lumora::bench {

namespace {

constexpr std::int64_t kFileSize = 4 << 20;
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

}  // namespace

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
