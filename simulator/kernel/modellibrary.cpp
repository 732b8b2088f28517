#include "simulator/kernel/modellibrary.h"

#include "core/files/paths.h"
#include "core/text/alnum.h"
#include "core/text/ascii.h"
#include "core/windows/registry.h"
#include "platform/win/boundedread.h"
#include "platform/win/files.h"
#include "platform/win/pathboundary.h"
#include "simulator/kernel/modellibrarybytes.h"
#include "simulator/kernel/simlog.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int LISTVALUESIZE = 256; // at most 255 characters a name

struct ALNUMLESS {
    bool operator()(const std::string& a, const std::string& b) const
    {
        return alnumcmp(a.c_str(), b.c_str()) < 0;
    }
};

// The names of a list key's values "000", "001", ... up to the first missing one.
std::vector<std::string> readlist(const std::string& key)
{
    std::vector<std::string> names;
    for (int i = 0;; ++i) {
        char value[16];
        char name[LISTVALUESIZE];
        snprintf(value, sizeof value, "%03d", i);
        if (reg_getstr(key.c_str(), value, name, sizeof name) <= 0)
            return names;
        names.emplace_back(name);
    }
}

bool listed(const std::vector<std::string>& names, const char* name)
{
    for (const std::string& listedname : names) {
        if (asciicasecmp(listedname.c_str(), name) == 0)
            return true;
    }
    return false;
}

// Whether the file's header carries the signature and a kind the filter lets through. A file the
// bounded open refuses (a pipe, a device, too large) is left out with a warning.
bool matchesheader(const char* path, const char* signature, int32_t kind)
{
    std::string refused;
    int fd = openbounded(findexistingpath(path).c_str(), refused);
    if (fd < 0) {
        if (simlog())
            simwarning("Library %s cannot be read: %s", path, refused.c_str());
        return false;
    }
    unsigned char head[DLIB_HEADERSIZE];
    bool read = readat(fd, head, sizeof head, 0);
    close(fd);
    if (!read)
        return false;
    char found[DLIB_SIGNATURESIZE];
    std::memcpy(found, head, sizeof found);
    mapoldsignature(found);
    int16_t headerkind = static_cast<int16_t>(head[26] | head[27] << 8);
    return std::memcmp(found, signature, DLIB_SIGNATURESIZE) == 0
        && (kind == 0 || headerkind == 0 || headerkind == kind);
}

} // namespace

MLIBMANAGER::MLIBMANAGER(int step, int indexing, const char* cachefolder)
    : indexing(indexing)
    , cachefolder(cachefolder)
    , libraries(step)
    , searchorder(step)
    , writable(step)
{
}

MLIBMANAGER::~MLIBMANAGER()
{
    searchorder.count = 0;
    writable.count = 0;
    libraries.zap();
}

void MLIBMANAGER::keyname(char* out) const
{
    size_t n = 0;
    bool wordstart = true;
    for (size_t i = 0; i < DLIB_SIGNATURESIZE && signature[i]; ++i) {
        char c = signature[i];
        if (!asciialpha(c) && !asciidigit(c) && c != ' ')
            continue;
        out[n++] = static_cast<char>(wordstart ? asciiupper(c) : asciilower(c));
        wordstart = c == ' ';
    }
    out[n] = '\0';
}

void MLIBMANAGER::load(const char* folders, const char* pattern, const char* librarysignature, int exclusive)
{
    std::memset(signature, 0, sizeof signature);
    std::memcpy(signature, librarysignature, strnlen(librarysignature, DLIB_SIGNATURESIZE));
    std::set<std::string, ALNUMLESS> found;
    std::string list = folders ? folders : "";
    for (size_t start = 0; start <= list.size();) {
        size_t end = list.find(';', start);
        end = end == std::string::npos ? list.size() : end;
        // The list comes from the environment: its folders may be written in the POSIX form.
        std::string folder = towindowspath(list.substr(start, end - start));
        start = end + 1;
        if (folder.empty()) {
            char current[PATHBUFFER];
            if (!getcwd(current, sizeof current))
                continue;
            folder = towindowspath(current);
        }
        char spec[PATHBUFFER];
        if (folder.size() + std::strlen(pattern) + 2 > PATHBUFFER)
            continue;
        addfilename(spec, folder.c_str(), pattern);
        // The disk lists a folder in no particular order: its files are taken in name order, so
        // that the search order repeats from run to run.
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE search = FindFirstFileA(spec, &data);
        if (search == INVALID_HANDLE_VALUE)
            continue;
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.emplace_back(data.cFileName);
        } while (FindNextFileA(search, &data));
        FindClose(search);
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            return asciicasecmp(a.c_str(), b.c_str()) < 0;
        });
        for (const std::string& name : names) {
            char path[PATHBUFFER];
            if (!found.insert(name).second || folder.size() + name.size() + 2 > PATHBUFFER)
                continue;
            addfilename(path, folder.c_str(), name.c_str());
            if (!matchesheader(path, signature, kind))
                continue;
            auto* member = new MLIB_MEMBER(indexing, cachefolder);
            filestem(member->name, name.c_str());
            int opened = 0;
            try {
                opened = member->library.open(path, signature, exclusive);
            } catch (const char* text) {
                // A library that cannot be used must not hide the others; the reason is logged.
                if (simlog())
                    simwarning("%s", text);
            }
            if (opened)
                libraries.add(member);
            else
                delete member;
        }
    }
    buildsearchorder();
}

void MLIBMANAGER::buildsearchorder()
{
    searchorder.count = 0;
    writable.count = 0;
    char key[DLIB_SIGNATURESIZE + 1];
    keyname(key);
    std::vector<std::string> order = readlist(std::string(key) + "\\Order");
    std::vector<std::string> hidden = readlist(std::string(key) + "\\Hidden");
    auto append = [&](MLIB_MEMBER* member) {
        if (searchorder.find(member) >= 0 || listed(hidden, member->name))
            return;
        searchorder.add(member);
        if (!member->library.readonly)
            writable.add(member);
    };
    for (const std::string& name : order) {
        for (MLIB_MEMBER* member : libraries) {
            if (asciicasecmp(member->name, name.c_str()) == 0) {
                append(member);
                break;
            }
        }
    }
    for (MLIB_MEMBER* member : libraries)
        append(member);
}

void MLIBMANAGER::savesearchorder()
{
    char key[DLIB_SIGNATURESIZE + 1];
    keyname(key);
    std::string orderkey = std::string(key) + "\\Order";
    reg_removekey(orderkey.c_str());
    for (int i = 0; i < searchorder.count; ++i) {
        char value[16];
        snprintf(value, sizeof value, "%03d", i);
        reg_putstr(orderkey.c_str(), value, searchorder[i]->name);
    }
}

char* MLIBMANAGER::findmodel(const char* model, const char* library)
{
    if (!model || !library)
        return nullptr;
    std::string name(library, strcspn(library, "."));
    MLIB_MEMBER* chosen = nullptr;
    for (MLIB_MEMBER* member : searchorder) {
        if (asciicasecmp(member->name, name.c_str()) == 0)
            chosen = member;
    }
    if (!chosen)
        return nullptr;
    DLIB_INDEX_ENTRY* entry = chosen->library.find(model);
    return entry ? chosen->library.readmember(*entry) : nullptr;
}

void MLIBMANAGER::unload()
{
    savesearchorder();
    searchorder.count = 0;
    writable.count = 0;
    libraries.zap();
}
