#include "core/text/propscan.h"

#include "core/text/scan.h"
#include "core/text/text.h"

PROPSCAN::PROPSCAN(const TEXT& text)
    : source(const_cast<TEXT&>(text))
    , stream(&source, 0)
    , stored(text.text ? text.text : "")
{
}

int PROPSCAN::next()
{
    rawbegin = rawend;
    if (!std::getline(stream, current)) {
        // Only braces were left: they still form a stored line.
        if (rawbegin == stored.size())
            return 0;
        current.clear();
        overlong.clear();
        rawend = stored.size();
        return 1;
    }
    if (stream.eof()) {
        rawend = stored.size();
    } else {
        // The cursor stands behind the line feed and any single braces that follow it; those
        // belong to the next stored line.
        auto position
            = static_cast<size_t>(std::streamoff(stream.rdbuf()->pubseekoff(0, std::ios_base::cur)));
        rawend = stored.rfind('\n', position - 1) + 1;
    }
    overlong.clear();
    if (current.size() > LINEMAX) {
        overlong = current;
        current.resize(LINEMAX);
    }
    return 1;
}

const char* PROPSCAN::header()
{
    if (current.empty() || current[0] != '*')
        return nullptr;
    name.resize(current.size());
    char* p = current.data() + 1;
    return gettok(&p, name.data()) ? name.c_str() : nullptr;
}

int PROPSCAN::joinsnext(std::string_view storedline)
{
    // Braces pair from the left as the stream reads them: a doubled one is a literal character,
    // a single one a mark that is never delivered.
    char last = '\0';
    for (size_t i = 0; i < storedline.size(); ++i) {
        char c = storedline[i];
        if (c != '{' && c != '}') {
            last = c;
        } else if (i + 1 < storedline.size() && storedline[i + 1] == c) {
            last = c;
            ++i;
        }
    }
    return last == '\\' ? 1 : 0;
}
