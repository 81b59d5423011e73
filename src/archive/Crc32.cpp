// The CRC-32 of zlib, PNG and Ethernet (reflected polynomial EDB88320). The
// restore takes it over every payload byte, so it has to keep pace with the
// disk: on processors with carry-less multiplication (PCLMULQDQ, most x86
// processors since 2010) long pieces are folded 64 bytes a step, as Intel
// describes in "Fast CRC Computation for Generic Polynomials Using PCLMULQDQ
// Instruction"; everything else goes eight bytes a step through eight tables
// that are computed on first use rather than stored in the program (zlib's
// own crc32 brings some 9 KB of them). The tables live as long as the process.
#include "archive/CheckRecord.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#define LUMORA_CRC_FOLDING 1
#endif

namespace lumora::archive {

namespace {

// Table k gives a byte's remainder k bytes further on.
const std::uint32_t (*CrcTables())[256]
{
    static std::uint32_t (*table)[256] = nullptr;
    if (!table) {
        table = new std::uint32_t[8][256];
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[0][n] = c;
        }
        for (std::uint32_t n = 0; n < 256; ++n)
            for (int k = 1; k < 8; ++k)
                table[k][n] = table[0][table[k - 1][n] & 0xFF] ^ (table[k - 1][n] >> 8);
    }
    return table;
}

// `crc` is the register, not the finished value: inverted before and after.
std::uint32_t TableCrc(std::uint32_t crc, const unsigned char* data, std::size_t count)
{
    const std::uint32_t (*table)[256] = CrcTables();
    const auto word = [](const unsigned char* p) {
        return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
               std::uint32_t(p[3]) << 24;
    };
    for (; count >= 8; count -= 8, data += 8) {
        const std::uint32_t low = crc ^ word(data);
        const std::uint32_t high = word(data + 4);
        crc = table[7][low & 0xFF] ^ table[6][(low >> 8) & 0xFF] ^ table[5][(low >> 16) & 0xFF] ^
              table[4][low >> 24] ^ table[3][high & 0xFF] ^ table[2][(high >> 8) & 0xFF] ^
              table[1][(high >> 16) & 0xFF] ^ table[0][high >> 24];
    }
    for (; count > 0; --count, ++data)
        crc = table[0][(crc ^ *data) & 0xFF] ^ (crc >> 8);
    return crc;
}

#ifdef LUMORA_CRC_FOLDING

#define LUMORA_FOLDING __attribute__((target("pclmul,sse2")))

LUMORA_FOLDING inline __m128i Load(const unsigned char* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// A lane's low half times the constants' low half, its high half times their
// high half: the lane moved forward by the distance the constants stand for.
LUMORA_FOLDING inline __m128i Fold(__m128i lane, __m128i constants)
{
    return _mm_xor_si128(_mm_clmulepi64_si128(lane, constants, 0x00), _mm_clmulepi64_si128(lane, constants, 0x11));
}

// The register continued over `count` bytes, a multiple of 16 and at least
// 64. Four 128-bit lanes are folded forward by 512 bits a step, then into one
// lane by 128 bits a step, which is reduced to 64 and 32 bits and finally by
// Barrett reduction to the register. The constants are powers of x modulo
// the polynomial, bit-reflected, as the paper derives them.
LUMORA_FOLDING std::uint32_t FoldedCrc(std::uint32_t crc, const unsigned char* data, std::size_t count)
{
    const __m128i by512 = _mm_set_epi64x(0x1C6E41596, 0x154442BD4);
    const __m128i by128 = _mm_set_epi64x(0x0CCAA009E, 0x1751997D0);
    const __m128i by32 = _mm_set_epi64x(0, 0x163CD6124);
    const __m128i barrett = _mm_set_epi64x(0x1F7011641, 0x1DB710641);  // (mu, polynomial)
    const __m128i low32 = _mm_set_epi32(0, 0, 0, -1);

    __m128i lane[4] = {_mm_xor_si128(Load(data), _mm_cvtsi32_si128(static_cast<int>(crc))), Load(data + 16),
                       Load(data + 32), Load(data + 48)};
    data += 64;
    count -= 64;
    for (; count >= 64; count -= 64, data += 64)
        for (int i = 0; i < 4; ++i)
            lane[i] = _mm_xor_si128(Fold(lane[i], by512), Load(data + 16 * i));
    __m128i x = lane[0];
    for (int i = 1; i < 4; ++i)
        x = _mm_xor_si128(Fold(x, by128), lane[i]);
    for (; count >= 16; count -= 16, data += 16)
        x = _mm_xor_si128(Fold(x, by128), Load(data));

    // 128 to 64 bits, with 32 zero bits appended: the low half times x^96.
    x = _mm_xor_si128(_mm_srli_si128(x, 8), _mm_clmulepi64_si128(by128, x, 0x01));
    // 64 to 32 bits plus the 32 appended: the low word times x^64.
    x = _mm_xor_si128(_mm_srli_si128(x, 4), _mm_clmulepi64_si128(_mm_and_si128(x, low32), by32, 0x00));
    // Barrett reduction: the quotient from mu, then the remainder.
    __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x, low32), barrett, 0x10);
    t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), barrett, 0x00);
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(_mm_xor_si128(t, x), 4)));
}

bool CanFold()
{
    static const bool can = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        return __get_cpuid(1, &a, &b, &c, &d) && (c & bit_PCLMUL) && (d & bit_SSE2);
    }();
    return can;
}

#endif

}  // namespace

std::uint32_t ContinueCrc(std::uint32_t crc, const unsigned char* data, std::size_t count)
{
    crc = ~crc;
#ifdef LUMORA_CRC_FOLDING
    if (count >= 64 && CanFold()) {
        const std::size_t folded = count & ~std::size_t{15};
        crc = FoldedCrc(crc, data, folded);
        data += folded;
        count -= folded;
    }
#endif
    return ~TableCrc(crc, data, count);
}

}  // namespace lumora::archive
