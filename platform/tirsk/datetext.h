#pragma once

// Dates and times as the system formats them for the user: a picture of field letters, or a
// style of the user's locale (here the British forms the program's texts are written in).
// Date pictures: d dd ddd dddd (day, with zero, short and long weekday), M MM MMM MMMM, yy yyyy.
// Time pictures: h hh (12-hour), H HH, m mm, s ss, t tt (A/P, AM/PM). Text in single quotes and
// any other character is copied. The answer is a per-thread buffer, valid until the next call on
// the thread.
// Callers: the key-map file, backups and project properties (framework, shell).

#include <ctime>

constexpr int DATE_SHORTDATE = 1; // "dd/MM/yyyy"
constexpr int DATE_LONGDATE = 2; // "dd MMMM yyyy"

// The date of t (seconds since 1970, shown in local time) by picture, or by style when picture is
// null (another style gives the short date).
const char* fmtwindate(time_t t, int style, const char* picture = nullptr);
// The time of t by picture, or "HH:mm:ss" when picture is null (style is not used: the one time
// style is the default).
const char* fmtwintime(time_t t, int style = 0, const char* picture = nullptr);
