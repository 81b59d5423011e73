#include <algorithm>

#include "archive/DosDateTime.h"

// In a file of its own: only the packing tool stamps files, and the setup
// program links only what it calls from here.
namespace lumora::archive {

std::uint32_t DosStampFromTime(std::time_t when, bool utc)
{
    std::tm local{};
#ifdef _WIN32
    if ((utc ? gmtime_s(&local, &when) : localtime_s(&local, &when)) != 0)
        return PackDosDateTime(DosDateTime{});
#else
    if (!(utc ? gmtime_r(&when, &local) : localtime_r(&when, &local)))
        return PackDosDateTime(DosDateTime{});
#endif
    DosDateTime t;
    t.year = local.tm_year + 1900;
    t.month = local.tm_mon + 1;
    t.day = local.tm_mday;
    t.hour = local.tm_hour;
    t.minute = local.tm_min;
    t.second = std::min(local.tm_sec, 59);
    return PackDosDateTime(t);
}

}  // namespace lumora::archive
