#pragma once
// Builds archive bytes by hand, field by field, for cases that the writer
// never produces (passed-over name lengths, bad magic, volume markers, limits).
#include <cstdint>
#include <string>
#include <vector>

namespace lumora::archive::testing {

class ArchiveBytes {
public:
    ArchiveBytes& Int32(std::int32_t v)
    {
        for (int shift = 0; shift < 32; shift += 8)
            bytes_.push_back(static_cast<unsigned char>(static_cast<std::uint32_t>(v) >> shift));
        return *this;
    }
    ArchiveBytes& Text(const std::string& s)
    {
        bytes_.insert(bytes_.end(), s.begin(), s.end());
        return *this;
    }
    ArchiveBytes& Counted(const std::string& s) { return Int32(std::int32_t(s.size())).Text(s); }
    ArchiveBytes& Bytes(const std::vector<unsigned char>& b)
    {
        bytes_.insert(bytes_.end(), b.begin(), b.end());
        return *this;
    }
    ArchiveBytes& Header(const std::string& title, std::int32_t total, std::int32_t count)
    {
        return Counted(title).Int32(total).Int32(count);
    }
    ArchiveBytes& Magic() { return Bytes({0x45, 0x43, 0x32, 0x00}); }
    // Name, stamp and block magic of an entry; blocks follow.
    ArchiveBytes& Entry(const std::string& name, std::uint32_t stamp)
    {
        return Counted(name).Int32(std::int32_t(stamp)).Magic();
    }
    ArchiveBytes& RawBlock(const std::vector<unsigned char>& b)
    {
        return Int32(-std::int32_t(b.size())).Bytes(b);
    }
    ArchiveBytes& ZlibBlock(const std::vector<unsigned char>& stream)
    {
        return Int32(std::int32_t(stream.size())).Bytes(stream);
    }

    const std::vector<unsigned char>& Get() const { return bytes_; }

private:
    std::vector<unsigned char> bytes_;
};

// Adler-32 (RFC 1950), computed here independently of zlib.
inline std::uint32_t Adler32(const unsigned char* data, std::size_t size)
{
    std::uint32_t a = 1, b = 0;
    for (std::size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

// Deterministic bytes that do not compress.
inline std::vector<unsigned char> NoiseBytes(std::size_t size, std::uint32_t seed = 1)
{
    std::vector<unsigned char> out(size);
    for (auto& c : out) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<unsigned char>(seed >> 16);
    }
    return out;
}

}  // namespace lumora::archive::testing
