#include "platform/hulvane/refname.h"

#include "core/text/ascii.h"

std::string partof(const std::string& name)
{
    return name.substr(0, name.find(':'));
}

std::string placeof(const std::string& name)
{
    const size_t colon = name.find(':');
    return colon == std::string::npos ? std::string() : upperkey(name.substr(colon + 1));
}

int isannotated(const std::string& name)
{
    const std::string part = partof(name);
    return !part.empty() && part.find('?') == std::string::npos;
}

int parseref(const std::string& name, REFNAME& out)
{
    out = REFNAME();
    const std::string part = partof(name);
    size_t i = 0;
    while (i < part.size() && !asciidigit(part[i]) && part[i] != '?')
        ++i;
    out.prefix = part.substr(0, i);
    if (i == part.size())
        return 0;
    if (part[i] == '?') {
        if (i + 1 != part.size())
            return 0;
    } else {
        long number = 0;
        for (; i < part.size(); ++i) {
            if (!asciidigit(part[i]) || number > 99999999)
                return 0;
            number = number * 10 + (part[i] - '0');
        }
        out.number = static_cast<int>(number);
    }
    out.hasplace = name.find(':') != std::string::npos;
    const std::string place = placeof(name);
    if (place.size() == 1 && asciialpha(place[0]))
        out.letter = place[0] - 'A';
    return 1;
}

std::string formatref(const std::string& prefix, int number, int letter)
{
    std::string text = prefix + (number < 0 ? std::string("?") : std::to_string(number));
    if (letter >= 0) {
        text += ':';
        text += static_cast<char>('A' + letter);
    }
    return text;
}

std::string unannotatedname(const std::string& name)
{
    REFNAME ref;
    if (!parseref(name, ref))
        return std::string();
    const size_t colon = name.find(':');
    return ref.prefix + '?' + (colon == std::string::npos ? std::string() : name.substr(colon));
}

std::string upperkey(const std::string& text)
{
    std::string key(text);
    for (char& c : key)
        c = static_cast<char>(asciiupper(c));
    return key;
}
