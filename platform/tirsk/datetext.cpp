#include "platform/tirsk/datetext.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

const char* const months[] = { "January", "February", "March", "April", "May", "June", "July", "August",
    "September", "October", "November", "December" };
const char* const weekdays[]
    = { "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday" };

std::string number(int value, size_t width)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", static_cast<int>(width), value);
    return text;
}

// One field of run letters c repeated n times; false when c is no field letter of this kind.
bool field(char c, size_t n, const tm& when, bool date, std::string& out)
{
    if (date && c == 'd') {
        if (n <= 2)
            out += number(when.tm_mday, n);
        else
            out += std::string(weekdays[when.tm_wday]).substr(0, n == 3 ? 3 : std::string::npos);
        return true;
    }
    if (date && c == 'M') {
        if (n <= 2)
            out += number(when.tm_mon + 1, n);
        else
            out += std::string(months[when.tm_mon]).substr(0, n == 3 ? 3 : std::string::npos);
        return true;
    }
    if (date && c == 'y') {
        const int year = when.tm_year + 1900;
        out += n <= 2 ? number(year % 100, n) : number(year, 4);
        return true;
    }
    if (!date && (c == 'h' || c == 'H')) {
        const int hour = c == 'H' ? when.tm_hour : (when.tm_hour + 11) % 12 + 1;
        out += number(hour, std::min<size_t>(n, 2));
        return true;
    }
    if (!date && (c == 'm' || c == 's')) {
        out += number(c == 'm' ? when.tm_min : when.tm_sec, std::min<size_t>(n, 2));
        return true;
    }
    if (!date && c == 't') {
        const char* half = when.tm_hour < 12 ? "AM" : "PM";
        out += n == 1 ? std::string(1, half[0]) : std::string(half);
        return true;
    }
    return false;
}

const char* format(time_t t, const char* picture, bool date)
{
    thread_local std::string text;
    text.clear();
    tm when {};
    if (!localtime_r(&t, &when))
        return text.c_str();
    for (const char* c = picture; *c;) {
        if (*c == '\'') {
            const char* end = c + 1;
            while (*end && *end != '\'')
                ++end;
            text.append(c + 1, end);
            c = *end ? end + 1 : end;
            continue;
        }
        size_t n = 1;
        while (c[n] == *c)
            ++n;
        if (!field(*c, n, when, date, text))
            text.append(c, n);
        c += n;
    }
    return text.c_str();
}

} // namespace

const char* fmtwindate(time_t t, int style, const char* picture)
{
    if (!picture)
        picture = style == DATE_LONGDATE ? "dd MMMM yyyy" : "dd/MM/yyyy";
    return format(t, picture, true);
}

const char* fmtwintime(time_t t, int, const char* picture)
{
    return format(t, picture ? picture : "HH:mm:ss", false);
}
