#pragma once
// Where the archive lies in a file: in an installer, from the offset that the
// payload trailer (the file's last 4 bytes) gives up to the trailer; in a bare
// archive, the whole file.
#include <cstdint>
#include <optional>
#include <string>

#include "LimitedStream.h"
#include "archive/CheckRecord.h"
#include "archive/SolidStream.h"
#include "base/Stream.h"

namespace setuppack {

struct ArchiveLocation {
    std::int64_t start = 0;      // first byte of the archive
    std::int64_t end = 0;        // one past its last byte: the trailer, or the file's end
    bool installer = true;
    std::int64_t signatureBytes = 0;  // a signed installer's certificate table
    std::optional<lumora::archive::CheckRecord> check;  // an installer's check record
    bool checkDamaged = false;  // what lies between the image and the archive is no sound record
    std::optional<lumora::archive::SolidRecord> solid;  // a solid payload's record at `start`
    // How the installer's texts and names are written: its check record's kind.
    lumora::AuthorEncoding texts = lumora::AuthorEncoding::SystemCodePage;
};

// Throws lumora::Error when the file is too short for a trailer or the
// trailer points outside the file.
ArchiveLocation LocateArchive(lumora::Stream& file, bool bareArchive);

// "installer, archive at offset 611840 (0x95600), 1366004 bytes, CRC-32
// 1A2B3C4D as its check record says, texts 8-bit" (or "texts in UTF-8"),
// ", no check record: unchecked, texts 8-bit" for an installer without one
// (", a damaged check record" when its place holds something else), with
// ", signed (7936 bytes of signature)" for a signed one; or "bare archive,
// 1366004 bytes".
std::string DescribeLocation(const ArchiveLocation& location);

// What is wrong with the archive's bytes by its check record: empty when
// they match it or there is none. Reads the whole archive.
std::string CheckRecordProblem(lumora::Stream& file, const ArchiveLocation& location);

// The archive's bytes, from its first: those of the file between the
// trailer's offset and the trailer, or, in a solid payload, those its stream
// decompresses to (read forward only; offsets from 0). A new view starts at
// the archive's first byte again.
class ArchiveView {
public:
    ArchiveView(lumora::Stream& file, const ArchiveLocation& location);

    lumora::Stream& Archive() { return solid_ ? static_cast<lumora::Stream&>(*solid_) : limited_; }
    std::int64_t Start() const { return start_; }  // of the archive's first byte in Archive()
    std::int64_t End() const { return end_; }      // one past its last
    // Reads a solid payload's stream on to its end, which throws
    // lumora::Error where it is damaged; nothing for a plain archive.
    void ReadToEnd();

private:
    LimitedStream limited_;
    std::unique_ptr<lumora::archive::SolidStream> solid_;
    std::int64_t start_;
    std::int64_t end_;
};

}  // namespace setuppack
