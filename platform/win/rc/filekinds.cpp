// Resources that are the bytes of one file, decoded where they are used. Source form of the body:
// the file's name, relative to the source.
//   icon APPICON { "appicon.png" }       an image file (PNG, BMP, ICO ...) the toolkit decodes
//   form STATUSBOX { "statusbox.ui" }    a dialog form's layout, read by the dialog library

#include "platform/win/rc/kinds.h"

namespace rc {

namespace {

class FileKind : public ResourceKind {
public:
    FileKind(uint16_t type, const char* what, const char* empty)
        : id(type)
        , what(what)
        , empty(empty)
    {
    }

    NameOrId type() const override { return { {}, id }; }

    std::vector<uint8_t> compile(Parser& in) const override
    {
        std::vector<uint8_t> bytes = in.file(what);
        if (bytes.empty())
            in.fail(empty);
        return bytes;
    }

private:
    uint16_t id;
    const char* what;
    const char* empty;
};

} // namespace

const ResourceKind& iconkind()
{
    static const FileKind kind(14, "the icon's image file", "the icon's image file is empty");
    return kind;
}

const ResourceKind& formkind()
{
    static const FileKind kind(5, "the form's layout file", "the form's layout file is empty");
    return kind;
}

} // namespace rc
