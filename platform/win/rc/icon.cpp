// Icons as the window layer reads them: the bytes of an image file (PNG, BMP, ICO ...) that the
// toolkit decodes and scales. Source form of the body: the file's name, relative to the source.
//   icon APPICON { "appicon.png" }

#include "platform/win/rc/kinds.h"

namespace rc {

namespace {

class IconKind : public ResourceKind {
public:
    NameOrId type() const override { return { {}, 14 }; }

    std::vector<uint8_t> compile(Parser& in) const override
    {
        std::vector<uint8_t> bytes = in.file("the icon's image file");
        if (bytes.empty())
            in.fail("the icon's image file is empty");
        return bytes;
    }
};

} // namespace

const ResourceKind& iconkind()
{
    static const IconKind kind;
    return kind;
}

} // namespace rc
