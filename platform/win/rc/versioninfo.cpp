// The file version of a module: the fixed file information record, which the version calls read
// from the module's file. Source form of the body:
//   fileversion <major>, <minor>, <build>, <revision>
//   productversion <major>, <minor>, <build>, <revision>     optional; the file version when absent

#include "platform/win/rc/kinds.h"

namespace rc {

namespace {

constexpr uint32_t signature = 0xFEEF04BD;
constexpr uint32_t structureVersion = 0x00010000;
constexpr uint32_t flagsMask = 0x3F;

struct Version {
    uint32_t high = 0;
    uint32_t low = 0;
};

Version readversion(Parser& in)
{
    uint32_t part[4];
    for (int i = 0; i < 4; ++i) {
        if (i)
            in.symbol(',');
        part[i] = static_cast<uint32_t>(in.number(0, 0xFFFF, "a version part"));
    }
    return { part[0] << 16 | part[1], part[2] << 16 | part[3] };
}

class VersionInfoKind : public ResourceKind {
public:
    NameOrId type() const override { return { {}, 16 }; }

    std::vector<uint8_t> compile(Parser& in) const override
    {
        Version file;
        Version product;
        bool haveFile = false;
        bool haveProduct = false;
        while (!in.atsymbol('}')) {
            if (!haveFile && in.keyword("fileversion")) {
                file = readversion(in);
                haveFile = true;
            } else if (!haveProduct && in.keyword("productversion")) {
                product = readversion(in);
                haveProduct = true;
            } else {
                in.fail("expected fileversion or productversion (once each)");
            }
        }
        if (!haveFile)
            in.fail("a versioninfo needs a fileversion");
        if (!haveProduct)
            product = file;
        std::vector<uint8_t> out;
        for (uint32_t field : { signature, structureVersion, file.high, file.low, product.high, product.low,
                 flagsMask, 0u, 0u, 0u, 0u, 0u, 0u })
            put32(out, field);
        return out;
    }
};

} // namespace

const ResourceKind& versioninfokind()
{
    static const VersionInfoKind kind;
    return kind;
}

} // namespace rc
