#include "archive/DosDateTime.h"

#include <algorithm>

namespace lumora::archive {

std::uint32_t PackDosDateTime(const DosDateTime& given)
{
    constexpr DosDateTime kFirst{1980, 1, 1, 0, 0, 0};
    constexpr DosDateTime kLast{2107, 12, 31, 23, 59, 58};
    const DosDateTime& t = given.year < kFirst.year ? kFirst : given.year > kLast.year ? kLast : given;
    const int year = t.year - 1980;
    const std::uint32_t date = std::uint32_t(year) << 9 | std::uint32_t(t.month & 0xF) << 5 |
                               std::uint32_t(t.day & 0x1F);
    const std::uint32_t time = std::uint32_t(t.hour & 0x1F) << 11 |
                               std::uint32_t(t.minute & 0x3F) << 5 |
                               std::uint32_t((t.second / 2) & 0x1F);
    return date << 16 | time;
}

DosDateTime UnpackDosDateTime(std::uint32_t stamp)
{
    DosDateTime t;
    t.year = 1980 + int(stamp >> 25);
    t.month = int(stamp >> 21 & 0xF);
    t.day = int(stamp >> 16 & 0x1F);
    t.hour = int(stamp >> 11 & 0x1F);
    t.minute = int(stamp >> 5 & 0x3F);
    t.second = int(stamp & 0x1F) * 2;
    return t;
}

}  // namespace lumora::archive
