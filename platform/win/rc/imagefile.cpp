// Icons and bitmaps as the window layer reads them: the bytes of an image file (PNG, BMP, ICO ...)
// that the toolkit decodes and scales. Source form of the body: the file's name, relative to the
// source.
//   icon APPICON { "appicon.png" }
//   bitmap MENUCHECKMARK { "menucheckmark.png" }

#include "platform/win/rc/kinds.h"

namespace rc {

namespace {

class ImageFileKind : public ResourceKind {
public:
    ImageFileKind(uint16_t type, const char* what)
        : resourcetype(type)
        , what(what)
    {
    }

    NameOrId type() const override { return { {}, resourcetype }; }

    std::vector<uint8_t> compile(Parser& in) const override
    {
        std::string name = std::string("the ") + what + "'s image file";
        std::vector<uint8_t> bytes = in.file(name.c_str());
        if (bytes.empty())
            in.fail(name + " is empty");
        return bytes;
    }

private:
    uint16_t resourcetype;
    const char* what;
};

} // namespace

const ResourceKind& iconkind()
{
    static const ImageFileKind kind(14, "icon");
    return kind;
}

const ResourceKind& bitmapkind()
{
    static const ImageFileKind kind(2, "bitmap");
    return kind;
}

} // namespace rc
