// Command tables, as the framework's command table reads them (framework/commands/cmdinfotable.h):
// one resource per command context, named by the context's id. Source form of the body, one
// record after the other:
//
//   command 0x200 "&New Project" help 1 image "GTB_MAIN:0" hint "Start a new project."
//   command 0x175 "Open MRU File 1" help 6 hint window      // hint none, same (as the one before)
//   command 0x146 "&Left" argument                           // also toggle, toggleview, nomenu,
//   separator                                                // dynamic, fixed, or flags <number>
//   mergepoint
//   reference 0x105
//   submenu "&Export" { ...records... }
//
// The options of a command come in any order after its text; without them the command has help
// id 0, no image and no hint.

#include <cstring>

#include "platform/win/rc/cmdflags.h"
#include "platform/win/rc/kinds.h"

namespace rc {

namespace {

// Flags a command record may carry: those that change a record's layout are the record kinds'.
constexpr uint32_t commandflags = 0xFFFF & ~(CMDF_SEPARATOR | CMDF_SUBMENU | CMDF_REFERENCE);
constexpr uint16_t submenuend = CMDF_SUBMENU | CMDF_REFERENCE;

struct FLAGWORD {
    const char* word;
    uint16_t flag;
};

constexpr FLAGWORD flagwords[] = {
    { "fixed", CMDF_FIXED },
    { "nomenu", CMDF_NOMENU },
    { "toggle", CMDF_TOGGLE },
    { "toggleview", CMDF_TOGGLEVIEW },
    { "argument", CMDF_ARGUMENT },
    { "dynamic", CMDF_DYNAMIC },
};

void puttext(std::vector<uint8_t>& out, const std::string& text)
{
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

std::string recordtext(Parser& in, const char* what)
{
    std::string text = in.text(what);
    if (text.find('\0') != std::string::npos)
        in.fail(std::string(what) + " cannot hold a NUL character");
    return text;
}

uint16_t commandid(Parser& in)
{
    return static_cast<uint16_t>(in.number(1, 0xFFFF, "a command id"));
}

// The part of a command record after its id and flags.
struct COMMAND {
    uint16_t flags = 0;
    std::string text;
    uint16_t helpid = 0;
    std::string image;
    uint16_t hintcode = CMDHINT_NONE;
    std::string hint;
    bool hashint = false;
};

void readhint(Parser& in, COMMAND& command)
{
    if (command.hashint)
        in.fail("a command has one hint");
    command.hashint = true;
    if (in.keyword("none"))
        return;
    if (in.keyword("same")) {
        command.hintcode = CMDHINT_PREVIOUS;
        return;
    }
    if (in.keyword("window")) {
        command.hintcode = CMDHINT_ASKWINDOW;
        return;
    }
    command.hint = recordtext(in, "the hint");
    // The framework reads a hint that opens with a 16-bit value below 0x20 as a hint code.
    if (command.hint.empty())
        in.fail("an empty hint is written hint none");
    if (command.hint.size() == 1 && static_cast<uint8_t>(command.hint[0]) < 0x20)
        in.fail("a hint of one control character would read as a hint code");
}

bool readoption(Parser& in, COMMAND& command)
{
    for (const FLAGWORD& word : flagwords) {
        if (in.keyword(word.word)) {
            command.flags |= word.flag;
            return true;
        }
    }
    if (in.keyword("flags")) {
        auto flags = static_cast<uint32_t>(in.number(0, 0xFFFF, "the flags"));
        if (flags & ~commandflags)
            in.fail("a command's flags cannot hold the separator, submenu or reference bits");
        command.flags |= static_cast<uint16_t>(flags);
        return true;
    }
    if (in.keyword("help")) {
        command.helpid = static_cast<uint16_t>(in.number(0, 0xFFFF, "the help id"));
        return true;
    }
    if (in.keyword("image")) {
        command.image = recordtext(in, "the image");
        if (command.image.empty())
            in.fail("an image is named \"NAME:index\"");
        return true;
    }
    if (in.keyword("hint")) {
        readhint(in, command);
        return true;
    }
    return false;
}

void putcommand(std::vector<uint8_t>& out, uint16_t id, const COMMAND& command)
{
    put16(out, id);
    put16(out, command.flags);
    puttext(out, command.text);
    put16(out, command.helpid);
    puttext(out, command.image);
    if (command.hint.empty())
        put16(out, command.hintcode);
    else
        puttext(out, command.hint);
}

// The records up to the closing brace of the table or of a submenu.
void readrecords(Parser& in, std::vector<uint8_t>& out)
{
    while (!in.atsymbol('}')) {
        if (in.keyword("command")) {
            uint16_t id = commandid(in);
            COMMAND command;
            command.text = recordtext(in, "the command's text");
            while (readoption(in, command)) { }
            putcommand(out, id, command);
        } else if (in.keyword("separator")) {
            put16(out, 0);
            put16(out, CMDF_SEPARATOR);
        } else if (in.keyword("mergepoint")) {
            put16(out, 0);
            put16(out, CMDF_SEPARATOR | CMDF_MERGEPOINT);
        } else if (in.keyword("reference")) {
            put16(out, commandid(in));
            put16(out, CMDF_REFERENCE);
        } else if (in.keyword("submenu")) {
            put16(out, 0);
            put16(out, CMDF_SUBMENU);
            puttext(out, recordtext(in, "the submenu's title"));
            in.symbol('{');
            readrecords(in, out);
            in.symbol('}');
            put16(out, 0);
            put16(out, submenuend);
        } else {
            in.fail("expected command, separator, mergepoint, reference or submenu");
        }
    }
}

class CmdTableKind : public ResourceKind {
public:
    NameOrId type() const override { return { {}, 10 }; }
    bool namedbyid() const override { return true; }

    std::vector<uint8_t> compile(Parser& in) const override
    {
        std::vector<uint8_t> out;
        readrecords(in, out);
        return out;
    }
};

} // namespace

const ResourceKind& cmdtablekind()
{
    static const CmdTableKind kind;
    return kind;
}

} // namespace rc
