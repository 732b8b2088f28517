#include "core/text/proprewrite.h"

#include "core/text/ascii.h"
#include "core/text/proptext.h"

#include <algorithm>

namespace {

std::string foldlinefeeds(std::string_view text)
{
    std::string folded(text);
    std::replace(folded.begin(), folded.end(), '\n', ' ');
    return folded;
}

// getfield reads a plain name up to the first '=', without blanks around it; a line that starts
// with '*' or '"' reads as something else.
bool needsquotes(std::string_view name)
{
    return name.empty() || name.find('=') != std::string_view::npos || name.front() == '*'
        || name.front() == '"' || asciispace(name.front()) || asciispace(name.back());
}

std::string writablename(std::string_view name)
{
    std::string folded = foldlinefeeds(name);
    if (!needsquotes(folded))
        return folded;
    std::string quoted = "\"";
    for (char c : folded) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + '"';
}

} // namespace

PROPREWRITE::PROPREWRITE(PROPTEXT& t)
    : text(t)
{
    scan.emplace(t);
}

const char* PROPREWRITE::wanted(const char* sec) const
{
    return sec ? sec : text.defsection;
}

void PROPREWRITE::append(std::string_view stored)
{
    if (stored.empty())
        return;
    if (open) {
        out += '\n';
        open = false;
    }
    out += stored;
    bool linefeed = stored.back() == '\n';
    if (linefeed)
        stored.remove_suffix(1);
    size_t lastline = stored.rfind('\n');
    bool joins = PROPSCAN::joinsnext(stored.substr(lastline == std::string_view::npos ? 0 : lastline + 1));
    if (linefeed) {
        open = joins;
        return;
    }
    out += joins ? " \n" : "\n";
}

void PROPREWRITE::write(std::string_view line)
{
    append(line.empty() ? std::string_view("\n") : line);
}

void PROPREWRITE::property(std::string_view name, std::string_view value, unsigned form)
{
    std::string n = writablename(name);
    std::string v = foldlinefeeds(value);
    switch (form & 3) {
    case 0:
        write(n + '=' + v);
        break;
    case 1:
        write('{' + n + "=}" + v);
        break;
    case 2:
        write(n + "={" + v + '}');
        break;
    default:
        write('{' + n + '=' + v + '}');
        break;
    }
}

void PROPREWRITE::sectionheader(std::string_view name)
{
    write("{*" + foldlinefeeds(name) + "}");
}

void PROPREWRITE::finish()
{
    // The scanner's stream points into the old text, which settext frees.
    scan.reset();
    text.settext(out.c_str());
}

bool samesection(const char* a, const char* b)
{
    return asciicasecmp(a, b) == 0;
}

unsigned storedform(std::string_view storedline)
{
    unsigned form = 0;
    if (!storedline.empty() && storedline.front() == '{')
        form |= 1;
    if (!storedline.empty() && storedline.back() == '}')
        form |= 2;
    return form;
}

std::string doublebraces(std::string_view text)
{
    std::string doubled;
    doubled.reserve(text.size());
    for (char c : text) {
        doubled += c;
        if (c == '{' || c == '}')
            doubled += c;
    }
    return doubled;
}
