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
    if (current.size() > LINEMAX)
        current.resize(LINEMAX);
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
