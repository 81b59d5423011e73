#include "archive/ArchiveWriter.h"

#include <algorithm>
#include <limits>
#include <string>

#include "archive/ArchiveReader.h"
#include "base/Error.h"

namespace lumora::archive {

namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// Reads up to `count` bytes, across short reads; fewer only at the end.
std::size_t ReadUpTo(Stream& data, unsigned char* buffer, std::size_t count)
{
    std::size_t done = 0;
    while (done < count) {
        const std::size_t n = data.Read(buffer + done, count - done);
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

void CheckCountedString(std::string_view text, const char* what)
{
    if (text.size() > static_cast<std::size_t>(kMaxNameLength))
        throw Error(std::string(what) + " is longer than " + std::to_string(kMaxNameLength) +
                    " characters: " + std::string(text.substr(0, 60)) + "...");
}

}  // namespace

void ArchiveWriter::WriteInt32(std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    const unsigned char bytes[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                    static_cast<unsigned char>(v >> 16),
                                    static_cast<unsigned char>(v >> 24)};
    out_.WriteBuffer(bytes, sizeof bytes);
}

void ArchiveWriter::WriteHeader(std::string_view title, std::int64_t totalSize,
                                std::int64_t fileCount)
{
    CheckCountedString(title, "The title");
    if (totalSize < 0 || totalSize > kInt32Max)
        throw Error("The files hold " + std::to_string(totalSize) +
                    " bytes in all; an archive holds at most " + std::to_string(kInt32Max));
    if (fileCount < 0 || fileCount > kInt32Max)
        throw Error("Too many files for one archive: " + std::to_string(fileCount));
    WriteInt32(static_cast<std::int32_t>(title.size()));
    out_.WriteBuffer(title.data(), title.size());
    WriteInt32(static_cast<std::int32_t>(totalSize));
    WriteInt32(static_cast<std::int32_t>(fileCount));
}

void ArchiveWriter::WriteEntry(std::string_view storedName, std::uint32_t stamp, Stream& data,
                               std::int64_t size)
{
    const std::string name(storedName);
    if (name.empty())
        throw Error("A stored name cannot be empty");
    CheckCountedString(name, "The stored name");
    if (IsVolumeMarker(name))
        throw Error("A file cannot be stored under the name " + name);
    if (size < 0)
        throw Error("Negative size for " + name);

    WriteInt32(static_cast<std::int32_t>(name.size()));
    out_.WriteBuffer(name.data(), name.size());
    WriteInt32(static_cast<std::int32_t>(stamp));
    out_.WriteBuffer(kBlockMagic, sizeof kBlockMagic);

    std::vector<unsigned char> chunk(kMaxBlockSize);
    std::int64_t remaining = size;
    while (remaining > 0) {
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(remaining, kMaxBlockSize));
        if (ReadUpTo(data, chunk.data(), n) != n)
            throw Error("File " + name + " is shorter than its " + std::to_string(size) +
                        " bytes: it changed while being packed");
        remaining -= static_cast<std::int64_t>(n);
        const EncodedBlock block = EncodeBlock(chunk.data(), n, remaining == 0, compression_);
        WriteInt32(block.length);
        out_.WriteBuffer(block.data.data(), block.data.size());
    }
    unsigned char extra;
    if (ReadUpTo(data, &extra, 1) != 0)
        throw Error("File " + name + " is longer than its " + std::to_string(size) +
                    " bytes: it changed while being packed");
    WriteInt32(0);
}

void ArchiveWriter::WriteEnd() { WriteInt32(0); }

void WriteArchive(Stream& out, std::string_view title, const std::vector<ArchiveInput>& inputs,
                  Compression compression)
{
    std::int64_t total = 0;
    for (const ArchiveInput& input : inputs) {
        if (input.size < 0 || input.size > kInt32Max - total)
            throw Error("The files hold more than " + std::to_string(kInt32Max) +
                        " bytes in all, more than an archive can hold");
        total += input.size;
    }
    ArchiveWriter writer(out, compression);
    writer.WriteHeader(title, total, static_cast<std::int64_t>(inputs.size()));
    for (const ArchiveInput& input : inputs) {
        const auto data = input.open();
        writer.WriteEntry(input.storedName, input.stamp, *data, input.size);
    }
    writer.WriteEnd();
}

}  // namespace lumora::archive
