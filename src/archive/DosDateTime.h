#pragma once
// The archive's date-time stamp: a local time in MS-DOS packed form, the date
// in the high 16 bits and the time in the low 16 bits.
//
//   bits 31-25 year - 1980   24-21 month   20-16 day
//   bits 15-11 hour          10-5 minute    4-0 second / 2
#include <cstdint>
#include <ctime>

namespace lumora::archive {

struct DosDateTime {
    int year = 1980;  // 1980 .. 2107
    int month = 1;    // 1 .. 12
    int day = 1;      // 1 .. 31
    int hour = 0;     // 0 .. 23
    int minute = 0;   // 0 .. 59
    int second = 0;   // 0 .. 59; stored with two-second resolution

    bool operator==(const DosDateTime& o) const
    {
        return year == o.year && month == o.month && day == o.day && hour == o.hour &&
               minute == o.minute && second == o.second;
    }
};

// Packs the fields; odd seconds are rounded down. A time before 1980 packs
// as the first stamp (1980-01-01 00:00:00), one after 2107 as the last
// (2107-12-31 23:59:58), so that every file has a stamp and stamps keep
// their order.
std::uint32_t PackDosDateTime(const DosDateTime& t);
DosDateTime UnpackDosDateTime(std::uint32_t stamp);

// The stamp of a point in time, read as local time on this machine, or as
// UTC with `utc` (the same stamp in every time zone).
std::uint32_t DosStampFromTime(std::time_t when, bool utc = false);

}  // namespace lumora::archive
