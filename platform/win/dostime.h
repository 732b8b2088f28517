#pragma once

// File times (100 ns steps since 1601, universal or local) and the DOS date and time that archive
// entries carry: date = (year - 1980) << 9 | month << 5 | day, time = hour << 11 | minute << 5 |
// second / 2. Local time is the system's zone at the moment converted. Caller: the archive's
// disk-file copies.

#include <cstdint>
#include <ctime>

#include "platform/win/files.h"
#include "platform/win/scalars.h"

BOOL FileTimeToLocalFileTime(const FILETIME* universal, FILETIME* local);
BOOL LocalFileTimeToFileTime(const FILETIME* local, FILETIME* universal);
// FALSE for a time before 1980 or after 2107, which DOS cannot hold; seconds are rounded down to
// even.
BOOL FileTimeToDosDateTime(const FILETIME* time, WORD* dosdate, WORD* dostime);
// FALSE (time untouched) for a field out of its range: month 1-12, a day of that month, hour
// below 24, minute below 60, second below 60.
BOOL DosDateTimeToFileTime(WORD dosdate, WORD dostime, FILETIME* time);

// The DOS date-time (date in the high 16 bits, time in the low) in local time of a universal time
// in seconds since 1970, through the conversions above; 0 when DOS cannot hold it.
uint32_t dosdatetimeof(time_t seconds);
// The universal time in seconds since 1970 of a DOS date-time in local time; false, seconds
// untouched, for a field out of range.
bool unixtimeof(uint32_t datetime, time_t* seconds);
