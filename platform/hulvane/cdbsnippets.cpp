// The project clips of the design database and their element maps ("BINDINGS.DAT" of a clip
// file), a text of our own:
//
//   VKTBINDINGS 1
//   42 R1
//   57 U3:B
//
// one line per element: its id where the clip was made, a blank, its name to the end of the line.
// A file that does not read whole changes nothing.

#include "core/files/vfile.h"
#include "platform/hulvane/cdbcore.h"

#include <algorithm>
#include <ostream>
#include <sstream>

namespace {

constexpr const char* bindingsmagic = "VKTBINDINGS 1";
constexpr long largestbindings = 1L << 22;

} // namespace

SNIPPET* CDBCORE::addsnippet(SHEET* sheet, SNIPPET* sibling)
{
    auto clip = std::make_unique<SNIPPET>();
    clip->id = newid();
    clip->group = sibling ? sibling->group : nextgroup++;
    clip->sheet = sheet;
    snippets.push_back(std::move(clip));
    modified = 1;
    return snippets.back().get();
}

int CDBCORE::bindsnippet(SNIPPET* clip, int schematic, int, std::ostream& errors)
{
    if (!clip)
        return 0;
    if (!schematic)
        return 1;
    std::vector<ELEMENT*> tagged;
    for (ELEMENT* element : clip->sheet ? clip->sheet->elements : std::vector<ELEMENT*>())
        if (element->tagged)
            tagged.push_back(element);
    if (tagged.empty()) {
        errors << "No element of the schematic selection is in the design database.\n";
        return 0;
    }
    int result = 1;
    for (const ELEMENT* element : tagged)
        if (element->snippet && element->snippet != clip) {
            errors << "Element '" << element->name << "' belongs to another project clip.\n";
            result = 0;
        }
    if (!result)
        return 0;
    for (ELEMENT* element : tagged)
        element->snippet = clip;
    modified = 1;
    return 1;
}

int CDBCORE::savebindings(SNIPPET* clip, VFILE& file)
{
    if (!clip)
        return 0;
    std::ostringstream out;
    out << bindingsmagic << '\n';
    std::vector<ELEMENT*> grouped;
    getsnippetelements(clip, grouped);
    for (const ELEMENT* element : grouped)
        out << element->id << ' ' << element->name << '\n';
    const std::string text = out.str();
    const int size = static_cast<int>(text.size());
    return file.write(text.data(), size) == size ? 1 : 0;
}

int CDBCORE::loadbindings(SNIPPET* clip, VFILE& file)
{
    if (!clip)
        return 0;
    std::string text;
    char block[4096];
    for (int n; (n = file.read(block, sizeof block)) > 0;) {
        text.append(block, static_cast<size_t>(n));
        if (static_cast<long>(text.size()) > largestbindings)
            return 0;
    }
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line.rfind(bindingsmagic, 0) != 0 || line.size() > 14)
        return 0;
    std::vector<std::pair<std::string, uint32_t>> read;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t blank = line.find(' ');
        if (blank == 0 || blank == std::string::npos || blank > 10 || blank + 1 == line.size()
            || line.find_first_not_of("0123456789") != blank)
            return 0;
        const unsigned long long id = std::stoull(line.substr(0, blank));
        if (id == 0 || id > UINT32_MAX)
            return 0;
        read.emplace_back(line.substr(blank + 1), static_cast<uint32_t>(id));
    }
    clip->bindings = std::move(read);
    return 1;
}

int CDBCORE::getsiblings(SNIPPET* clip, std::vector<SNIPPET*>& list) const
{
    int count = 0;
    for (const auto& other : snippets)
        if (clip && other.get() != clip && other->group == clip->group) {
            list.push_back(other.get());
            ++count;
        }
    return count;
}

int CDBCORE::getsnippetelements(SNIPPET* clip, std::vector<ELEMENT*>& list) const
{
    if (!clip || !clip->sheet)
        return 0;
    int count = 0;
    for (ELEMENT* element : clip->sheet->elements)
        if (element->snippet == clip) {
            list.push_back(element);
            ++count;
        }
    return count;
}

void CDBCORE::removesnippet(SNIPPET* clip, int)
{
    for (auto& [id, element] : elements)
        if (element->snippet == clip)
            element->snippet = nullptr;
    const auto at = std::find_if(snippets.begin(), snippets.end(),
        [clip](const std::unique_ptr<SNIPPET>& entry) { return entry.get() == clip; });
    if (at == snippets.end())
        return;
    snippets.erase(at);
    modified = 1;
}

void CDBCORE::tidysnippets()
{
    std::vector<SNIPPET*> empty;
    for (const auto& clip : snippets) {
        std::vector<ELEMENT*> grouped;
        if (!getsnippetelements(clip.get(), grouped) && !clip->section.length && !clip->region.length
            && !clip->descriptor.length)
            empty.push_back(clip.get());
    }
    for (SNIPPET* clip : empty)
        removesnippet(clip, 0);
}
