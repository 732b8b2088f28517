// Resources that are the bytes of one file, decoded where they are used. Source form of the body:
// the file's name, relative to the source.
//   icon APPICON { "appicon.png" }               an image file (PNG, BMP, ICO ...) that the
//   bitmap MENUCHECKMARK { "menucheckmark.png" }   toolkit decodes and scales
//   form STATUSBOX { "statusbox.ui" }            a dialog form's layout, read by the dialog library

#include "platform/win/rc/kinds.h"

namespace rc {

namespace {

class FileKind : public ResourceKind {
public:
    // file: what the file is, for messages ("the icon's image file").
    FileKind(uint16_t type, const char* file)
        : resourcetype(type)
        , file(file)
    {
    }

    NameOrId type() const override { return { {}, resourcetype }; }

    std::vector<uint8_t> compile(Parser& in) const override
    {
        std::vector<uint8_t> bytes = in.file(file);
        if (bytes.empty())
            in.fail(std::string(file) + " is empty");
        return bytes;
    }

private:
    uint16_t resourcetype;
    const char* file;
};

} // namespace

const ResourceKind& iconkind()
{
    static const FileKind kind(14, "the icon's image file");
    return kind;
}

const ResourceKind& bitmapkind()
{
    static const FileKind kind(2, "the bitmap's image file");
    return kind;
}

const ResourceKind& formkind()
{
    static const FileKind kind(5, "the form's layout file");
    return kind;
}

} // namespace rc
