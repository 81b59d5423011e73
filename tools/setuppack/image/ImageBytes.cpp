#include "ImageBytes.h"

#include "archive/LittleEndian.h"
#include "base/Error.h"

namespace setuppack {

namespace {

void Check(const Bytes& bytes, std::uint64_t at, std::uint64_t count, const char* what)
{
    if (at > bytes.size() || count > bytes.size() - at)
        throw lumora::Error(std::string(what) + " lies outside the " + std::to_string(bytes.size()) +
                            " bytes of the data");
}

}  // namespace

std::uint16_t Get16(const Bytes& bytes, std::uint64_t at, const char* what)
{
    Check(bytes, at, 2, what);
    return static_cast<std::uint16_t>(lumora::archive::LoadLittleEndian(&bytes[at], 2));
}

std::uint32_t Get32(const Bytes& bytes, std::uint64_t at, const char* what)
{
    Check(bytes, at, 4, what);
    return static_cast<std::uint32_t>(lumora::archive::LoadLittleEndian(&bytes[at], 4));
}

void Put16(Bytes& bytes, std::uint64_t at, std::uint16_t value, const char* what)
{
    Check(bytes, at, 2, what);
    lumora::archive::StoreLittleEndian(&bytes[at], value, 2);
}

void Put32(Bytes& bytes, std::uint64_t at, std::uint32_t value, const char* what)
{
    Check(bytes, at, 4, what);
    lumora::archive::StoreLittleEndian(&bytes[at], value, 4);
}

Bytes Slice(const Bytes& bytes, std::uint64_t at, std::uint64_t count, const char* what)
{
    Check(bytes, at, count, what);
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + count));
}

void Append16(Bytes& bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<unsigned char>(value));
    bytes.push_back(static_cast<unsigned char>(value >> 8));
}

void Append32(Bytes& bytes, std::uint32_t value)
{
    Append16(bytes, static_cast<std::uint16_t>(value));
    Append16(bytes, static_cast<std::uint16_t>(value >> 16));
}

void PadTo(Bytes& bytes, std::size_t alignment) { bytes.resize(AlignUp(bytes.size(), alignment), 0); }

}  // namespace setuppack
