#include "archive/ArchiveReader.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "base/PathText.h"

namespace lumora::archive {

namespace {

// The name and title bound, shared by both counted strings of the layout.
void CheckStringLength(std::int32_t length, const char* what)
{
    if (length < 0 || length > kMaxNameLength)
        throw InvalidArchive(std::string("Invalid archive: ") + what + " length " +
                             std::to_string(length) + " is out of range");
}

// The magnitude of a block length that is known to lie within the limit.
std::size_t BlockSize(std::int32_t length)
{
    if (length == 0 || length > kMaxBlockSize || length < -kMaxBlockSize)
        throw InvalidArchive("Invalid archive: block length " + std::to_string(length) +
                             " is out of range");
    return static_cast<std::size_t>(length < 0 ? -length : length);
}

}  // namespace

ArchiveHeader ArchiveReader::ReadHeader()
{
    ArchiveHeader header;
    std::int32_t titleLength = 0;
    try {
        titleLength = in_.ReadInt32();
    } catch (const CompressionError&) {
        throw;
    } catch (const Error&) {
        throw InvalidArchive("Cannot read archive");
    }
    CheckStringLength(titleLength, "title");
    try {
        header.title = in_.ReadString(static_cast<std::size_t>(titleLength));
        header.totalSize = in_.ReadInt32();
        header.fileCount = in_.ReadInt32();
    } catch (const CompressionError&) {
        throw;
    } catch (const Error&) {
        throw InvalidArchive("Cannot read archive");
    }
    return header;
}

std::int32_t ArchiveReader::ReadNameLength()
{
    const std::int32_t length = in_.ReadInt32();
    if (length > kMaxNameLength)
        CheckStringLength(length, "name");
    return length;
}

std::string ArchiveReader::ReadName(std::int32_t length)
{
    CheckStringLength(length, "name");
    return in_.ReadString(static_cast<std::size_t>(length));
}

std::uint32_t ArchiveReader::ReadStamp() { return in_.ReadUInt32(); }

void ArchiveReader::ReadBlockMagic()
{
    // Only 45 43 32 00 reads as the text "EC2" up to the first zero byte.
    unsigned char magic[sizeof kBlockMagic];
    in_.ReadBytes(magic, sizeof magic);
    if (std::memcmp(magic, kBlockMagic, sizeof magic) != 0)
        throw InvalidArchive("Invalid archive type");
}

std::int32_t ArchiveReader::ReadBlockLength()
{
    const std::int32_t length = in_.ReadInt32();
    if (length != 0)
        BlockSize(length);
    return length;
}

void ArchiveReader::ReadBlockData(std::int32_t length, unsigned char* buffer)
{
    in_.ReadBytes(buffer, BlockSize(length));
}

void ArchiveReader::SkipBlockData(std::int32_t length)
{
    in_.Skip(static_cast<std::int64_t>(BlockSize(length)));
}

bool IsVolumeMarker(std::string_view storedName)
{
    return storedName.substr(0, kVolumeMarkerPrefix.size()) == kVolumeMarkerPrefix;
}

unsigned VolumeNumber(std::string_view markerName)
{
    const std::string_view suffix = markerName.substr(std::min(markerName.size(), kVolumeMarkerPrefix.size()));
    if (suffix.size() < kVolumeNumberDigits)
        throw InvalidArchive("Invalid volume marker");
    unsigned number = 0;
    for (std::size_t i = 0; i < kVolumeNumberDigits; ++i) {
        if (suffix[i] < '0' || suffix[i] > '9')
            throw InvalidArchive("Invalid volume marker");
        number = number * 10 + static_cast<unsigned>(suffix[i] - '0');
    }
    return number;
}

std::string VolumePath(std::string_view anyVolume, unsigned number)
{
    // Written by hand: the installer carries no printf formatting.
    const char extension[] = {'.', static_cast<char>('0' + number / 100 % 10), static_cast<char>('0' + number / 10 % 10),
                              static_cast<char>('0' + number % 10), '\0'};
    return ChangeFileExtension(anyVolume, extension);
}

std::string NextVolumePath(std::string_view currentVolume, std::string_view markerName)
{
    return VolumePath(currentVolume, VolumeNumber(markerName));
}

bool IsFileList(std::string_view storedName) { return storedName == kFileListName; }

}  // namespace lumora::archive
