#include "IconImage.h"

#include <cstring>
#include <string>

#include "archive/CheckRecord.h"
#include "base/Error.h"

namespace setuppack {

namespace {

using lumora::Error;

constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint32_t kPngHeaderLength = 13;  // IHDR
constexpr std::uint32_t kMaxPngSide = 0x7FFFFFFF;

constexpr std::uint32_t kInfoHeader = 40;      // BITMAPINFOHEADER
constexpr std::uint32_t kV4Header = 108;       // BITMAPV4HEADER
constexpr std::uint32_t kV5Header = 124;       // BITMAPV5HEADER
constexpr std::uint32_t kUncompressed = 0;     // BI_RGB
constexpr std::uint32_t kBitFields = 3;        // BI_BITFIELDS: three masks after the 40-byte header
constexpr std::uint32_t kMaxTableColours = 256;

std::uint32_t BigEndian32(const Bytes& bytes, std::uint64_t at, const char* what)
{
    const std::uint32_t little = Get32(bytes, at, what);
    return (little >> 24) | (little >> 8 & 0xFF00) | (little << 8 & 0xFF0000) | (little << 24);
}

void CheckPng(const Bytes& image)
{
    bool first = true;
    bool pixels = false;
    for (std::uint64_t at = sizeof kPngSignature;;) {
        if (image.size() - at < 12)
            throw Error("is a PNG picture cut short: it ends before its last chunk (IEND)");
        const std::uint32_t length = BigEndian32(image, at, "a PNG chunk");
        const std::string type(reinterpret_cast<const char*>(&image[at + 4]), 4);
        for (const char c : type)
            if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
                throw Error("is no whole PNG picture: a chunk's type is not four letters");
        if (length > image.size() - at - 12)
            throw Error("is a PNG picture cut short: its chunk " + type + " runs past the image's end");
        if (first) {
            if (type != "IHDR" || length != kPngHeaderLength)
                throw Error("is no whole PNG picture: it does not start with its header (IHDR)");
            const std::uint32_t width = BigEndian32(image, at + 8, "a PNG header");
            const std::uint32_t height = BigEndian32(image, at + 12, "a PNG header");
            if (width == 0 || height == 0 || width > kMaxPngSide || height > kMaxPngSide)
                throw Error("is no PNG picture Windows draws: its header gives " + std::to_string(width) + " x " +
                            std::to_string(height) + " pixels");
            first = false;
        }
        const std::uint32_t crc = lumora::archive::ContinueCrc(0, &image[at + 4], std::size_t{length} + 4);
        if (crc != BigEndian32(image, at + 8 + length, "a PNG chunk"))
            throw Error("is a damaged PNG picture: its chunk " + type + " does not match its CRC-32");
        at += std::uint64_t{length} + 12;
        pixels = pixels || type == "IDAT";
        if (type != "IEND")
            continue;
        if (!pixels)
            throw Error("is no whole PNG picture: it holds no pixels (IDAT)");
        if (at != image.size())
            throw Error("is no whole PNG picture: " + std::to_string(image.size() - at) +
                        " bytes follow its last chunk (IEND)");
        return;
    }
}

// The bytes of one row of `width` pixels of `bits` each, padded to four.
std::uint64_t RowBytes(std::uint64_t width, std::uint64_t bits) { return (width * bits + 31) / 32 * 4; }

void CheckBitmap(const Bytes& image)
{
    const std::uint32_t header = image.size() >= 4 ? Get32(image, 0, "a bitmap's header") : 0;
    if (header != kInfoHeader && header != kV4Header && header != kV5Header)
        throw Error("is neither a PNG picture nor a bitmap: a bitmap starts with the size of its header, 40 "
                    "(BITMAPINFOHEADER), 108 or 124");
    if (image.size() < header)
        throw Error("is a bitmap cut short inside its header");
    const auto width = static_cast<std::int32_t>(Get32(image, 4, "a bitmap's header"));
    const auto height = static_cast<std::int32_t>(Get32(image, 8, "a bitmap's header"));
    const std::uint16_t planes = Get16(image, 12, "a bitmap's header");
    const std::uint16_t bits = Get16(image, 14, "a bitmap's header");
    const std::uint32_t compression = Get32(image, 16, "a bitmap's header");
    const std::uint32_t used = Get32(image, 32, "a bitmap's header");
    if (width <= 0 || height <= 0 || height % 2 != 0)
        throw Error("is no icon's bitmap: its header gives " + std::to_string(width) + " x " +
                    std::to_string(height) + " pixels, where an icon's bitmap has a width above 0 and twice the "
                    "icon's height (its colours, then its mask)");
    if (planes != 1)
        throw Error("is no bitmap Windows draws: it has " + std::to_string(planes) + " planes, not 1");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        throw Error("is no bitmap Windows draws: " + std::to_string(bits) +
                    " bits per pixel, not 1, 4, 8, 16, 24 or 32");
    const bool bitFields = compression == kBitFields && (bits == 16 || bits == 32);
    if (compression != kUncompressed && !bitFields)
        throw Error("is a compressed bitmap (compression " + std::to_string(compression) +
                    "), which an icon does not hold");
    if (bits <= 8 && used > (1u << bits))
        throw Error("is a damaged bitmap: it lists " + std::to_string(used) + " colours for " +
                    std::to_string(bits) + " bits per pixel");
    if (used > kMaxTableColours)
        throw Error("is a damaged bitmap: it lists " + std::to_string(used) + " colours");
    const std::uint64_t colours = bits <= 8 && used == 0 ? 1u << bits : used;
    const std::uint64_t rows = static_cast<std::uint64_t>(height) / 2;
    const std::uint64_t needed = header + (bitFields && header == kInfoHeader ? 12 : 0) + colours * 4 +
                                 RowBytes(static_cast<std::uint64_t>(width), bits) * rows +
                                 RowBytes(static_cast<std::uint64_t>(width), 1) * rows;
    if (needed > image.size())
        throw Error("is a bitmap cut short: its header, colours, pixels and mask take " + std::to_string(needed) +
                    " bytes, and it holds " + std::to_string(image.size()));
}

}  // namespace

void CheckIconImage(const Bytes& image)
{
    if (image.size() >= sizeof kPngSignature && std::memcmp(image.data(), kPngSignature, sizeof kPngSignature) == 0)
        CheckPng(image);
    else
        CheckBitmap(image);
}

}  // namespace setuppack
