#include "platform/tirsk/drawhelpers.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win/gdi.h"

namespace {

const std::string dots = "...";

bool isseparator(char c)
{
    return c == '\\' || c == '/';
}

// The name cut from the front to fit, never inside a UTF-8 character; "..." alone when no part fits.
std::string cutname(const std::string& name, int width, const std::function<int(const std::string&)>& measure)
{
    for (size_t start = 1; start < name.size(); ++start) {
        if ((static_cast<unsigned char>(name[start]) & 0xC0) == 0x80)
            continue;
        const std::string candidate = dots + name.substr(start);
        if (measure(candidate) <= width)
            return candidate;
    }
    return dots;
}

} // namespace

std::string shortenpath(
    const std::string& path, int width, const std::function<int(const std::string&)>& measure)
{
    if (measure(path) <= width)
        return path;
    // Levels with their trailing separators; the last is the file name.
    std::vector<std::string> levels;
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (isseparator(path[i])) {
            levels.push_back(path.substr(start, i + 1 - start));
            start = i + 1;
        }
    }
    const std::string name = path.substr(start);
    const char separator = levels.empty() ? '\\' : levels.front().back();
    if (levels.size() >= 2) {
        for (size_t drop = 1; drop < levels.size(); ++drop) {
            std::string candidate = levels.front() + dots + separator;
            for (size_t k = drop + 1; k < levels.size(); ++k)
                candidate += levels[k];
            candidate += name;
            if (candidate.size() <= path.size() && measure(candidate) <= width)
                return candidate;
        }
    }
    const std::string bare = dots + separator + name;
    if (!levels.empty() && bare.size() <= path.size() && measure(bare) <= width)
        return bare;
    return cutname(name, width, measure);
}

char* drawfilepath(HDC dc, char* path, int width)
{
    if (!path)
        return path;
    const std::string shortened = shortenpath(path, width, [dc](const std::string& text) {
        SIZE size { 0, 0 };
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    });
    // The shortened path is never longer, unless the width takes not even "...".
    const size_t length = std::min(shortened.size(), std::strlen(path));
    std::memcpy(path, shortened.data(), length);
    path[length] = 0;
    return path;
}

COLORREF adjust_colour(COLORREF c, int percent)
{
    percent = std::clamp(percent, -100, 100);
    const auto channel = [percent](int value) {
        const int target = percent > 0 ? 255 : 0;
        return value + (target - value) * std::abs(percent) / 100;
    };
    const int r = channel(GetRValue(c));
    const int g = channel(GetGValue(c));
    const int b = channel(GetBValue(c));
    return RGB(r, g, b);
}

void drawfftext(HDC dc, const char* text, const RECT* rect, int format)
{
    if (!rect)
        return;
    if (GetBkMode(dc) != TRANSPARENT) {
        const HBRUSH background = CreateSolidBrush(GetBkColor(dc));
        FillRect(dc, rect, background);
        DeleteObject(background);
    }
    if (!text)
        return;
    RECT box = *rect;
    const UINT align = format == 1 ? DT_CENTER : format == 2 ? DT_RIGHT : DT_LEFT;
    const int mode = SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, &box, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetBkMode(dc, mode);
}
