#pragma once

// The kinds of resources a source can hold. A kind reads its body (the part between the braces
// after the resource's name) and produces the exact bytes that the module's code will read. A new
// kind is a class here and one line in the table of kinds.cpp.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win/rc/source.h"

namespace rc {

class ResourceKind {
public:
    virtual ~ResourceKind() = default;
    // The resource type the kind compiles to.
    virtual NameOrId type() const = 0;
    // Whether its resources are found by a number only (a text name is refused).
    virtual bool namedbyid() const { return false; }
    // Reads the body up to (not including) its closing brace; throws CompileError.
    virtual std::vector<uint8_t> compile(Parser& in) const = 0;
};

// The kind a source keyword (any case) introduces; null when there is none.
const ResourceKind* findkind(const std::string& keyword);

// Little-endian appends shared by the kinds.
void put16(std::vector<uint8_t>& out, uint32_t value);
void put32(std::vector<uint8_t>& out, uint32_t value);

// String tables (RCDATA): numbered and named texts.
const ResourceKind& stringtablekind();
// Icons (RT_GROUP_ICON) and bitmaps (RT_BITMAP): the bytes of an image file, which the window
// layer decodes.
const ResourceKind& iconkind();
const ResourceKind& bitmapkind();
// Command tables of one command context (RCDATA whose id is the context) and key tables (RCDATA).
const ResourceKind& cmdtablekind();
const ResourceKind& keytablekind();
// Dialog forms (RT_DIALOG): the bytes of a form's layout file, which the dialog library reads.
const ResourceKind& formkind();
// The module's file version (VS_FIXEDFILEINFO).
const ResourceKind& versioninfokind();

} // namespace rc
