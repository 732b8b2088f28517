// The design database's image, as the project keeps it in "ROOT.CDB" and undo frames keep it in
// memory. Little-endian; a text is a u32 byte count and that many bytes (no NUL); a flag is one
// byte 0 or 1. Every count and length is checked against what remains before it is used and every
// id against the records it names; an image that does not read whole, to its last byte, is refused
// and the database keeps what it held.
//
//   "VKTCDB" 0x1A 0x00, u32 version 2, u32 0
//   text name, u8 variant ('b' or 'A' to 'Z'), flag legacy variants
//   u32 next id, next sheet id, next board id, next clip group
//   u32 boards; each: u32 id, u32 root module id, u32 last sheet id, flag local ids, flag new,
//       text stem, text name, then the root module's body
//   u32 current board id (0: none)
//   flag master sheet; when set, the master sheet
//   u32 parts; each: u32 id, u32 scope, texts name, value, device, package, props, u32 variants,
//       flags no package, not fitted
//   u32 clips; each: u32 id, u32 group, u32 sheet id (0: none), i32 area x1, y1, x2, y2,
//       u32 properties and their name and value texts, texts section, region, descriptor,
//       u32 bindings and their name text and u32 id
//   u32 elements; each: u32 id, u32 object id, u32 sheet id, u32 part id, u32 clip id (0: none),
//       u32 value, flags tagged, annotatable, pending, i32 annotation count, texts name, props,
//       device name, annotation name, module data, u32 pin overrides and 86 bytes each
//
// A module's body: texts name, circuit name, props, flags child, separate netlist, non-physical,
// u32 sheets and each sheet. A sheet: u32 id, u32 circuit, i32 annotator count, text title, u32
// child modules and each: u32 id, u32 object id, its body. Elements follow their sheets in the
// order of the sheets in the hierarchy. Nesting deeper than 64 modules is refused.
//
// Version 1 was a text of boards alone, read by no version since.

#include "core/files/vfile.h"
#include "platform/hulvane/cdbcore.h"
#include "platform/hulvane/refname.h"
#include "platform/lunder/libbytes.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace {

constexpr char magic[8] = { 'V', 'K', 'T', 'C', 'D', 'B', 0x1a, 0 };
// Far beyond any design: a larger image is damage.
constexpr size_t largestimage = size_t { 1 } << 30;
constexpr int deepestnesting = 64;

struct IMAGEFAULT {
    const char* what;
};

void text(LIBWRITER& out, const std::string& value)
{
    out.u32(static_cast<uint32_t>(value.size()));
    out.raw(value.data(), value.size());
}

void bytes(LIBWRITER& out, const void* data, size_t size)
{
    out.u32(static_cast<uint32_t>(size));
    out.raw(data, size);
}

class READER {
public:
    READER(const uint8_t* data, size_t size)
        : in(data, size)
    {
    }

    uint32_t u32()
    {
        uint32_t value = 0;
        if (!in.u32(value))
            throw IMAGEFAULT { "it ends too early" };
        return value;
    }

    int32_t i32() { return static_cast<int32_t>(u32()); }

    int32_t flag()
    {
        uint8_t value = 0;
        if (!in.u8(value))
            throw IMAGEFAULT { "it ends too early" };
        if (value > 1)
            throw IMAGEFAULT { "a flag is neither 0 nor 1" };
        return value;
    }

    uint8_t u8()
    {
        uint8_t value = 0;
        if (!in.u8(value))
            throw IMAGEFAULT { "it ends too early" };
        return value;
    }

    std::string text()
    {
        const uint32_t size = u32();
        if (size > in.remaining())
            throw IMAGEFAULT { "a text runs past its end" };
        std::string value(reinterpret_cast<const char*>(in.here()), size);
        in.skip(size);
        return value;
    }

    // A count of records of at least least bytes each, checked against what remains.
    uint32_t count(size_t least)
    {
        const uint32_t n = u32();
        if (uint64_t { n } * least > in.remaining())
            throw IMAGEFAULT { "a count exceeds what follows it" };
        return n;
    }

    const uint8_t* take(size_t n)
    {
        const uint8_t* at = in.here();
        if (!in.skip(n))
            throw IMAGEFAULT { "it ends too early" };
        return at;
    }

    size_t remaining() const { return in.remaining(); }

private:
    LIBCURSOR in;
};

void check(bool condition, const char* what)
{
    if (!condition)
        throw IMAGEFAULT { what };
}

} // namespace

struct CDBIMAGE {
    static void writemodule(LIBWRITER& out, const MODULE* module)
    {
        text(out, module->name);
        text(out, module->circuitname);
        text(out, module->props);
        out.u8(module->child ? 1 : 0);
        out.u8(module->separate ? 1 : 0);
        out.u8(module->nonphysical ? 1 : 0);
        out.u32(static_cast<uint32_t>(module->sheets.size()));
        for (const SHEET* sheet : module->sheets)
            writesheet(out, sheet);
    }

    static void writesheet(LIBWRITER& out, const SHEET* sheet)
    {
        out.u32(sheet->id);
        out.u32(sheet->circuit);
        out.u32(static_cast<uint32_t>(sheet->anninit));
        text(out, sheet->title);
        out.u32(static_cast<uint32_t>(sheet->children.size()));
        for (const MODULE* child : sheet->children) {
            out.u32(child->id);
            out.u32(child->objectid);
            writemodule(out, child);
        }
    }

    static void writeelement(LIBWRITER& out, const ELEMENT* element)
    {
        out.u32(element->id);
        out.u32(element->objectid);
        out.u32(element->sheet->id);
        out.u32(element->part ? element->part->id : 0);
        out.u32(element->snippet ? element->snippet->id : 0);
        out.u32(element->value);
        out.u8(element->tagged ? 1 : 0);
        out.u8(element->annotatable ? 1 : 0);
        out.u8(element->pending ? 1 : 0);
        out.u32(static_cast<uint32_t>(element->annotcount));
        text(out, element->name);
        text(out, element->props);
        text(out, element->devicename);
        text(out, element->annotname);
        bytes(out, element->moddata.data(), element->moddata.size());
        out.u32(static_cast<uint32_t>(element->overrides.size()));
        out.raw(element->overrides.data(), element->overrides.size() * sizeof(PINOVERRIDE));
    }

    static void write(const CDBCORE& core, LIBWRITER& out)
    {
        out.raw(magic, sizeof magic);
        out.u32(CDBCORE::VERSION);
        out.u32(0);
        text(out, core.name);
        out.u8(static_cast<uint8_t>(core.variant));
        out.u8(core.legacyvariants ? 1 : 0);
        out.u32(core.nextid);
        out.u32(core.nextsheet);
        out.u32(core.nextboard);
        out.u32(core.nextgroup);
        out.u32(static_cast<uint32_t>(core.roots.size()));
        for (const MODULE* root : core.roots) {
            const BOARD* board = root->board;
            out.u32(board->id);
            out.u32(root->id);
            out.u32(board->lastsheet);
            out.u8(board->localids ? 1 : 0);
            out.u8(board->isnew ? 1 : 0);
            text(out, board->stem);
            text(out, board->name);
            writemodule(out, root);
        }
        out.u32(core.current ? core.current->board->id : 0);
        out.u8(core.master ? 1 : 0);
        if (core.master)
            writesheet(out, core.master);

        std::vector<const PART*> parts;
        for (const auto& [id, part] : core.parts)
            parts.push_back(part.get());
        std::sort(parts.begin(), parts.end(), [](const PART* a, const PART* b) { return a->id < b->id; });
        out.u32(static_cast<uint32_t>(parts.size()));
        for (const PART* part : parts) {
            out.u32(part->id);
            out.u32(part->scope);
            text(out, part->name);
            text(out, part->value);
            text(out, part->device);
            text(out, part->package);
            text(out, part->props);
            out.u32(part->variants);
            out.u8(part->nopackage ? 1 : 0);
            out.u8(part->notfitted ? 1 : 0);
        }

        out.u32(static_cast<uint32_t>(core.snippets.size()));
        for (const auto& clip : core.snippets) {
            out.u32(clip->id);
            out.u32(clip->group);
            out.u32(clip->sheet ? clip->sheet->id : 0);
            out.u32(static_cast<uint32_t>(clip->area.x1));
            out.u32(static_cast<uint32_t>(clip->area.y1));
            out.u32(static_cast<uint32_t>(clip->area.x2));
            out.u32(static_cast<uint32_t>(clip->area.y2));
            out.u32(static_cast<uint32_t>(clip->props.count));
            for (int i = 0; i < clip->props.count; ++i) {
                const char* propname = clip->props.ptr(i);
                text(out, propname);
                text(out, propname + std::strlen(propname) + 1);
            }
            for (const RAMFILE* file : { &clip->section, &clip->region, &clip->descriptor })
                bytes(out, file->buffer, static_cast<size_t>(file->length));
            out.u32(static_cast<uint32_t>(clip->bindings.size()));
            for (const auto& [elementname, id] : clip->bindings) {
                text(out, elementname);
                out.u32(id);
            }
        }

        CDBWALKQ queue;
        auto& walker = const_cast<CDBCORE&>(core);
        out.u32(static_cast<uint32_t>(core.elements.size()));
        for (SHEET* sheet = walker.walkfirstsheet(queue, 1, 1, nullptr); sheet; sheet = walker.walknextsheet(queue))
            for (const ELEMENT* element : sheet->elements)
                writeelement(out, element);
    }

    // Reading builds a database of its own; the caller takes it over only when all of it read.
    static void readmodule(READER& in, CDBCORE& core, MODULE* module, int depth)
    {
        check(depth <= deepestnesting, "modules are nested too deeply");
        module->name = in.text();
        module->circuitname = in.text();
        module->props = in.text();
        module->child = in.flag();
        module->separate = in.flag();
        module->nonphysical = in.flag();
        for (uint32_t n = in.count(16); n > 0; --n)
            readsheet(in, core, module, depth);
    }

    static SHEET* readsheet(READER& in, CDBCORE& core, MODULE* module, int depth)
    {
        auto sheet = std::make_unique<SHEET>();
        sheet->id = in.u32();
        check(sheet->id && !core.sheets.count(sheet->id), "a sheet id is 0 or used twice");
        check(sheet->id < core.nextsheet, "a sheet id is beyond the next one");
        sheet->circuit = in.u32();
        sheet->anninit = in.i32();
        sheet->title = in.text();
        sheet->module = module;
        sheet->core = &core;
        if (module) {
            module->sheets.push_back(sheet.get());
            sheet->instance = static_cast<int32_t>(module->sheets.size());
        }
        SHEET* read = core.sheets.emplace(sheet->id, std::move(sheet)).first->second.get();
        for (uint32_t n = in.count(8 + 19); n > 0; --n) {
            const uint32_t id = in.u32();
            const uint32_t objectid = in.u32();
            check(id && id < core.nextid && !core.modules.count(id), "a module id is 0, beyond the next or used twice");
            check(!core.modulesbyobject.count(uint64_t { read->id } << 32 | objectid), "two modules of a sheet share an object id");
            auto child = std::make_unique<MODULE>();
            child->id = id;
            child->objectid = objectid;
            child->parent = read;
            MODULE* made = core.modules.emplace(id, std::move(child)).first->second.get();
            read->children.push_back(made);
            core.modulesbyobject[uint64_t { read->id } << 32 | objectid] = made;
            readmodule(in, core, made, depth + 1);
        }
        return read;
    }

    static void read(READER& in, CDBCORE& core)
    {
        check(in.remaining() >= sizeof magic && std::memcmp(in.take(sizeof magic), magic, sizeof magic) == 0,
            "it is not a design database image");
        const uint32_t version = in.u32();
        check(version >= CDBCORE::VERSION, "it was written in an earlier form that this version does not read");
        check(version == CDBCORE::VERSION, "it was written by a later version of the program");
        check(in.u32() == 0, "its reserved word is not 0");
        core.name = in.text();
        const uint8_t letter = in.u8();
        check(letter == 'b' || (letter >= 'A' && letter <= 'Z'), "its variant is not a letter");
        core.variant = static_cast<char>(letter);
        core.legacyvariants = in.flag();
        core.nextid = in.u32();
        core.nextsheet = in.u32();
        core.nextboard = in.u32();
        core.nextgroup = in.u32();

        for (uint32_t n = in.count(16 + 18); n > 0; --n) {
            auto board = std::make_unique<BOARD>();
            board->id = in.u32();
            check(board->id && board->id < core.nextboard && !core.boards.count(board->id),
                "a board id is 0, beyond the next or used twice");
            const uint32_t moduleid = in.u32();
            check(moduleid && moduleid < core.nextid && !core.modules.count(moduleid),
                "a module id is 0, beyond the next or used twice");
            board->lastsheet = in.u32();
            board->localids = in.flag();
            board->isnew = in.flag();
            board->stem = in.text();
            board->name = in.text();
            auto root = std::make_unique<MODULE>();
            root->id = moduleid;
            root->board = board.get();
            board->module = root.get();
            MODULE* made = core.modules.emplace(moduleid, std::move(root)).first->second.get();
            core.roots.push_back(made);
            core.boards.emplace(board->id, std::move(board));
            readmodule(in, core, made, 0);
        }
        const uint32_t currentboard = in.u32();
        if (currentboard) {
            const auto at = core.boards.find(currentboard);
            check(at != core.boards.end(), "its current board does not exist");
            core.current = at->second->module;
        }
        if (in.flag())
            core.master = readsheet(in, core, nullptr, 0);

        for (uint32_t n = in.count(8 + 20 + 6); n > 0; --n) {
            auto part = std::make_unique<PART>();
            part->id = in.u32();
            check(part->id && part->id < core.nextid && !core.parts.count(part->id),
                "a part id is 0, beyond the next or used twice");
            part->scope = in.u32();
            check(!part->scope || core.boards.count(part->scope), "a part counts on a board that does not exist");
            part->name = in.text();
            part->value = in.text();
            part->device = in.text();
            part->package = in.text();
            part->props = in.text();
            part->variants = in.u32();
            part->nopackage = in.flag();
            part->notfitted = in.flag();
            PART* made = core.parts.emplace(part->id, std::move(part)).first->second.get();
            if (isannotated(made->name)) {
                check(!core.partsbyname.count(CDBCORE::partkey(made->scope, made->name)), "two parts share a name");
                core.indexpart(made);
            }
        }

        std::map<uint32_t, SNIPPET*> clips;
        for (uint32_t n = in.count(12 + 16 + 4 + 12 + 4); n > 0; --n) {
            auto clip = std::make_unique<SNIPPET>();
            clip->id = in.u32();
            check(clip->id && clip->id < core.nextid && !clips.count(clip->id), "a clip id is 0, beyond the next or used twice");
            clip->group = in.u32();
            check(clip->group < core.nextgroup, "a clip group is beyond the next");
            const uint32_t sheetid = in.u32();
            clip->sheet = core.getsheet(sheetid);
            check(!sheetid || clip->sheet, "a clip names a sheet that does not exist");
            const int32_t x1 = in.i32();
            const int32_t y1 = in.i32();
            const int32_t x2 = in.i32();
            const int32_t y2 = in.i32();
            clip->area = BOX(x1, y1, x2, y2);
            for (uint32_t count = in.count(8); count > 0; --count) {
                const std::string propname = in.text();
                const std::string value = in.text();
                check(!propname.empty() && propname.find('\0') == std::string::npos
                        && value.find('\0') == std::string::npos,
                    "a clip property is not a name and a value");
                clip->props.add(propname.c_str(), value.c_str());
            }
            for (RAMFILE* file : { &clip->section, &clip->region, &clip->descriptor }) {
                const std::string content = in.text();
                check(content.empty() || file->write(content.data(), static_cast<int>(content.size())),
                    "a clip's part cannot be held");
                file->rewind();
            }
            for (uint32_t count = in.count(8); count > 0; --count) {
                std::string elementname = in.text();
                clip->bindings.emplace_back(std::move(elementname), in.u32());
            }
            clips[clip->id] = clip.get();
            core.snippets.push_back(std::move(clip));
        }

        for (uint32_t n = in.count(24 + 7 + 4 + 20 + 4); n > 0; --n) {
            auto element = std::make_unique<ELEMENT>();
            element->id = in.u32();
            check(element->id && element->id < core.nextid && !core.elements.count(element->id),
                "an element id is 0, beyond the next or used twice");
            element->objectid = in.u32();
            check(element->objectid < core.nextid, "an object id is beyond the next");
            element->sheet = core.getsheet(in.u32());
            check(element->sheet, "an element's sheet does not exist");
            element->part = core.getpart(in.u32());
            check(element->part, "an element's part does not exist");
            const uint32_t clipid = in.u32();
            if (clipid) {
                check(clips.count(clipid), "an element's clip does not exist");
                element->snippet = clips[clipid];
            }
            element->value = in.u32();
            element->tagged = in.flag();
            element->annotatable = in.flag();
            element->pending = in.flag();
            element->annotcount = in.i32();
            element->name = in.text();
            element->props = in.text();
            element->devicename = in.text();
            element->annotname = in.text();
            const std::string data = in.text();
            element->moddata.assign(data.begin(), data.end());
            const uint32_t overrides = in.count(sizeof(PINOVERRIDE));
            element->overrides.resize(overrides);
            if (overrides)
                std::memcpy(element->overrides.data(), in.take(overrides * sizeof(PINOVERRIDE)),
                    overrides * sizeof(PINOVERRIDE));
            const uint64_t key = uint64_t { element->sheet->id } << 32 | element->objectid;
            check(!core.elementsbyobject.count(key), "two elements of a sheet share an object id");
            ELEMENT* made = core.elements.emplace(element->id, std::move(element)).first->second.get();
            core.elementsbyobject[key] = made;
            made->sheet->elements.push_back(made);
            made->part->elements.push_back(made);
        }
        check(in.remaining() == 0, "bytes follow its end");

        for (const auto& [id, part] : core.parts)
            check(!part->elements.empty(), "a part has no element");
        for (const auto& [id, element] : core.elements)
            check(core.isplaced(element.get()), "an element's part does not match its name");
    }
};

int CDBCORE::save(VFILE& file)
{
    LIBWRITER out;
    CDBIMAGE::write(*this, out);
    const int size = static_cast<int>(out.bytes.size());
    return file.write(out.bytes.data(), size) == size && !file.testflags(0x80) ? 1 : 0;
}

int CDBCORE::load(VFILE& file, std::string* reason)
{
    std::vector<uint8_t> data;
    char block[65536];
    for (int n; (n = file.read(block, sizeof block)) > 0;) {
        if (data.size() + static_cast<size_t>(n) > largestimage) {
            if (reason)
                *reason = "it is larger than any design database";
            return 0;
        }
        data.insert(data.end(), block, block + n);
    }
    CDBCORE image;
    try {
        READER in(data.data(), data.size());
        CDBIMAGE::read(in, image);
    } catch (const IMAGEFAULT& fault) {
        if (reason)
            *reason = fault.what;
        return 0;
    }
    swapwith(image);
    return 1;
}
