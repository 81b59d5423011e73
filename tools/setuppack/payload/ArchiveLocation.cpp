#include "ArchiveLocation.h"

#include <cstdio>

#include "archive/PayloadTrailer.h"
#include "archive/PeImage.h"
#include "base/Error.h"

namespace setuppack {

namespace {

std::string CrcText(std::uint32_t crc)
{
    char text[12];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(crc));
    return text;
}

}  // namespace

ArchiveLocation LocateArchive(lumora::Stream& file, bool bareArchive)
{
    const std::int64_t size = file.Size();
    if (size < 0)
        throw lumora::Error("cannot find the size of the file");
    ArchiveLocation location;
    if (bareArchive) {
        location.installer = false;
        location.end = size;
        return location;
    }
    const lumora::archive::PayloadTrailer trailer = lumora::archive::ReadPayloadTrailer(file);
    if (const auto image = lumora::archive::ReadPeImage(file); image && trailer.at < image->imageEnd)
        throw lumora::Error("nothing follows its program image: it is a setup stub (or another program) "
                            "without a payload; setuppack build makes an installer of the stub");
    if (trailer.offset < 0 || trailer.offset > trailer.at)
        throw lumora::Error("the payload trailer gives offset " + std::to_string(trailer.offset) +
                            ", outside the " + std::to_string(trailer.at) + " bytes of the file before it");
    location.start = trailer.offset;
    location.end = trailer.at;
    location.signatureBytes = trailer.certificateSize;
    const lumora::archive::CheckRecordPlace check =
        lumora::archive::ReadCheckRecord(file, trailer.imageEnd, location.start);
    location.check = check.record;
    location.checkDamaged = check.damaged;
    location.texts = check.texts;
    file.Seek(location.start, lumora::Stream::Origin::Begin);
    location.solid = lumora::archive::ReadSolidRecord(file);
    return location;
}

std::string DescribeLocation(const ArchiveLocation& location)
{
    const std::string bytes = std::to_string(location.end - location.start) + " bytes";
    if (!location.installer)
        return "bare archive, " + bytes;
    char hex[24];
    std::snprintf(hex, sizeof hex, "0x%llX", static_cast<unsigned long long>(location.start));
    std::string text = "installer, archive at offset " + std::to_string(location.start) + " (" + hex + "), " + bytes;
    if (location.solid)
        text += " solid (LZMA2, a dictionary of " + std::to_string(location.solid->Dictionary() >> 10) + " KiB" +
                (location.solid->filters & lumora::archive::kSolidX86Filter ? ", the x86 converter" : "") + ") of " +
                std::to_string(location.solid->size) + " bytes";
    // The record holds the check value and says how the texts are written;
    // without one the texts are 8-bit, as they always were.
    if (location.check)
        text += ", CRC-32 " + CrcText(location.check->crc) + " as its check record says, texts " +
                (location.texts == lumora::AuthorEncoding::Utf8 ? "in UTF-8" : "8-bit");
    else if (location.checkDamaged)
        text += ", a damaged check record";
    else
        text += ", no check record: unchecked, texts 8-bit";
    if (location.signatureBytes > 0)
        text += ", signed (" + std::to_string(location.signatureBytes) + " bytes of signature)";
    return text;
}

std::string CheckRecordProblem(lumora::Stream& file, const ArchiveLocation& location)
{
    if (location.checkDamaged)
        return "the bytes between the program image and the archive are no sound check record: the file is "
               "damaged";
    if (!location.check)
        return {};
    const auto length = static_cast<std::uint64_t>(location.end - location.start);
    if (location.check->length != length)
        return "the check record covers " + std::to_string(location.check->length) + " bytes, but the archive has " +
               std::to_string(length) + ": the file has been cut short or added to";
    const lumora::archive::CheckRecord found =
        lumora::archive::ComputeCheckRecord(file, location.start, location.end);
    if (found.crc != location.check->crc)
        return "the archive's bytes give CRC-32 " + CrcText(found.crc) + ", not " + CrcText(location.check->crc) +
               " as its check record says: the file is damaged";
    return {};
}

ArchiveView::ArchiveView(lumora::Stream& file, const ArchiveLocation& location)
    : limited_(file, location.end), start_(location.start), end_(location.end)
{
    if (!location.solid) {
        limited_.Seek(location.start, lumora::Stream::Origin::Begin);
        return;
    }
    const std::int64_t stream = location.start + lumora::archive::kSolidRecordSize;
    limited_.Seek(stream, lumora::Stream::Origin::Begin);
    solid_ = std::make_unique<lumora::archive::SolidStream>(limited_, location.end - stream, *location.solid);
    start_ = 0;
    end_ = static_cast<std::int64_t>(location.solid->size);
}

void ArchiveView::ReadToEnd()
{
    if (!solid_)
        return;
    unsigned char buffer[1 << 14];
    while (solid_->Read(buffer, sizeof buffer) > 0) {
    }
}

}  // namespace setuppack
