#include "platform/win/dostime.h"

#include <cstdint>
#include <ctime>

namespace {

constexpr int64_t ticksPerSecond = 10000000;
constexpr int64_t epochDifference = 11644473600; // seconds from 1601 to 1970

int64_t ticks(const FILETIME& t)
{
    return static_cast<int64_t>((uint64_t { t.dwHighDateTime } << 32) | t.dwLowDateTime);
}

FILETIME fromticks(int64_t value)
{
    const auto u = static_cast<uint64_t>(value);
    return { static_cast<DWORD>(u), static_cast<DWORD>(u >> 32) };
}

// Seconds east of universal time in the system's zone at the universal second given.
int64_t zoneoffset(int64_t unixseconds)
{
    const time_t t = static_cast<time_t>(unixseconds);
    struct tm local { };
    if (!localtime_r(&t, &local))
        return 0;
    return local.tm_gmtoff;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int64_t daysfromcivil(int64_t y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int daysinmonth(int year, int month)
{
    static const int days[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

} // namespace

BOOL FileTimeToLocalFileTime(const FILETIME* universal, FILETIME* local)
{
    if (!universal || !local)
        return FALSE;
    const int64_t t = ticks(*universal);
    *local = fromticks(t + zoneoffset(t / ticksPerSecond - epochDifference) * ticksPerSecond);
    return TRUE;
}

BOOL LocalFileTimeToFileTime(const FILETIME* local, FILETIME* universal)
{
    if (!local || !universal)
        return FALSE;
    const int64_t t = ticks(*local);
    // The offset at the local reading taken as universal is right except within an hour of a
    // change of the zone's offset.
    *universal = fromticks(t - zoneoffset(t / ticksPerSecond - epochDifference) * ticksPerSecond);
    return TRUE;
}

BOOL FileTimeToDosDateTime(const FILETIME* time, WORD* dosdate, WORD* dostime)
{
    if (!time || !dosdate || !dostime)
        return FALSE;
    const int64_t seconds = ticks(*time) / ticksPerSecond - epochDifference;
    const int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    const int64_t rest = seconds - days * 86400;
    // Civil date from days since 1970 (proleptic Gregorian).
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int64_t year = yoe + era * 400 + (month <= 2);
    if (year < 1980 || year > 2107)
        return FALSE;
    *dosdate = static_cast<WORD>(((year - 1980) << 9) | (month << 5) | day);
    *dostime = static_cast<WORD>(((rest / 3600) << 11) | ((rest / 60 % 60) << 5) | (rest % 60 / 2));
    return TRUE;
}

BOOL DosDateTimeToFileTime(WORD dosdate, WORD dostime, FILETIME* time)
{
    const int year = 1980 + (dosdate >> 9);
    const int month = (dosdate >> 5) & 15;
    const int day = dosdate & 31;
    const int hour = dostime >> 11;
    const int minute = (dostime >> 5) & 63;
    const int second = (dostime & 31) * 2;
    if (!time || month < 1 || month > 12 || day < 1 || day > daysinmonth(year, month) || hour > 23
        || minute > 59 || second > 59)
        return FALSE;
    const int64_t seconds = daysfromcivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    *time = fromticks((seconds + epochDifference) * ticksPerSecond);
    return TRUE;
}

uint32_t dosdatetimeof(time_t seconds)
{
    const FILETIME universal = fromticks((static_cast<int64_t>(seconds) + epochDifference) * ticksPerSecond);
    FILETIME local;
    WORD date, time;
    if (!FileTimeToLocalFileTime(&universal, &local) || !FileTimeToDosDateTime(&local, &date, &time))
        return 0;
    return uint32_t { date } << 16 | time;
}

bool unixtimeof(uint32_t datetime, time_t* seconds)
{
    FILETIME local, universal;
    if (!DosDateTimeToFileTime(static_cast<WORD>(datetime >> 16), static_cast<WORD>(datetime), &local)
        || !LocalFileTimeToFileTime(&local, &universal))
        return false;
    *seconds = static_cast<time_t>(ticks(universal) / ticksPerSecond - epochDifference);
    return true;
}
