#include "core/text/proptext.h"

#include "core/text/ascii.h"
#include "core/text/proprewrite.h"
#include "core/text/scan.h"

#include <istream>
#include <iterator>
#include <ostream>
#include <string>

namespace {

constexpr int nameField = 64; // getfield reads at most 63 characters

// A letter or '_', then letters, digits and '_': what a header line reads as its whole name.
bool isidentifier(const char* name)
{
    if (!asciialpha(*name) && *name != '_')
        return false;
    for (++name; *name; ++name)
        if (!asciialpha(*name) && !asciidigit(*name) && *name != '_')
            return false;
    return true;
}

void replaceblock(PROPTEXT& text, const char* sec, std::string_view body)
{
    PROPREWRITE pass(text);
    const char* wanted = pass.wanted(sec);
    bool unnamed = !*wanted;
    std::string current = text.defsection;
    bool written = false;
    bool skip = false;
    auto writeblock = [&] {
        if (!unnamed)
            pass.sectionheader(wanted);
        pass.append(body);
        written = true;
    };
    while (pass.next()) {
        const char* header = pass.header();
        if (header)
            current = header;
        if (header || unnamed) {
            skip = samesection(wanted, current.c_str());
            // The first place of the section takes the block; later ones go. An unnamed block
            // that found no lines of its own goes above the first header.
            if (!written && (skip || (unnamed && header)))
                writeblock();
        }
        if (!skip)
            pass.copy();
    }
    if (!written)
        writeblock();
    pass.finish();
}

} // namespace

int PROPTEXT::getblock(const char* sec, int withheader, std::ostream& os) const
{
    const char* wanted = sec ? sec : defsection;
    bool unnamed = !*wanted;
    std::string current = defsection;
    int found = 0;
    bool inblock = false;
    PROPSCAN scan(*this);
    while (scan.next()) {
        const char* header = scan.header();
        if (header)
            current = header;
        bool skipheader = false;
        if (header || unnamed) {
            inblock = samesection(wanted, current.c_str());
            found |= inblock ? 1 : 0;
            skipheader = inblock && !unnamed && !withheader;
        }
        if (!inblock || skipheader)
            continue;
        std::string_view raw = scan.raw();
        os.write(raw.data(), static_cast<std::streamsize>(raw.size()));
        if (raw.back() != '\n')
            os.put('\n');
    }
    os.flush();
    return found;
}

void PROPTEXT::putblock(const char* sec, std::istream& is)
{
    std::string body { std::istreambuf_iterator<char>(is), std::istreambuf_iterator<char>() };
    replaceblock(*this, sec, body);
}

void PROPTEXT::putblock(const char* sec, const char* body)
{
    replaceblock(*this, sec, body ? body : "");
}

void PROPTEXT::removeblock(const char* sec)
{
    PROPREWRITE pass(*this);
    const char* wanted = pass.wanted(sec);
    bool unnamed = !*wanted;
    std::string current = defsection;
    bool inblock = false;
    while (pass.next()) {
        const char* header = pass.header();
        if (header)
            current = header;
        if (header || unnamed)
            inblock = samesection(wanted, current.c_str());
        if (!inblock)
            pass.copy();
    }
    pass.finish();
}

void PROPTEXT::renameblock(const char* sec, const char* newname)
{
    if (!sec || !newname || !isidentifier(newname))
        return;
    PROPREWRITE pass(*this);
    bool found = false;
    while (pass.next()) {
        const char* header = pass.header();
        if (!header || !samesection(header, sec)) {
            pass.copy();
            continue;
        }
        found = true;
        // Only the first stored line of the header is new; one that was continued still is.
        std::string_view raw = pass.raw();
        size_t firstend = raw.find('\n');
        std::string renamed = std::string("*") + newname;
        if (firstend == std::string_view::npos) {
            pass.write(renamed);
            continue;
        }
        if (PROPSCAN::joinsnext(raw.substr(0, firstend)))
            renamed += '\\';
        pass.append(renamed.append(raw.substr(firstend)));
    }
    if (found)
        pass.finish();
}

void PROPTEXT::cleanblock(const char* sec)
{
    PROPREWRITE pass(*this);
    const char* wanted = pass.wanted(sec);
    bool inblock = sec == nullptr;
    while (pass.next()) {
        if (const char* header = pass.header()) {
            inblock = samesection(wanted, header);
            pass.copy();
            continue;
        }
        char* p = pass.line();
        char field[nameField];
        if (!inblock || pass.starline() || getfield(&p, field, '=') || field[0] == ';')
            pass.copy();
    }
    pass.finish();
}
