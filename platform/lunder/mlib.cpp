#include "platform/lunder/mlib.h"

#include "core/text/alnum.h"
#include "platform/lunder/libcache.h"
#include "platform/ombrel/dirsearch.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <strings.h>

namespace {

struct CASELESS {
    bool operator()(const std::string& a, const std::string& b) const
    {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    }
};

} // namespace

MLIB::MLIB(int room, int index, LIBCLASSIFY classifier)
    : indexing(index)
    , classify(classifier)
{
    libraries.reserve(room > 0 ? static_cast<size_t>(room) : 0);
}

MLIB::~MLIB() = default;

void MLIB::close()
{
    order.clear();
    writable.clear();
    libraries.clear();
}

int MLIB::openidx(const char* f, const char* cache, const char* p, const char* k)
{
    close();
    folders = f ? f : "";
    cachefolder = cache ? cache : "";
    pattern = p ? p : "";
    kind = k ? k : "";
    return refresh();
}

std::vector<std::string> MLIB::scan() const
{
    std::vector<std::string> paths;
    std::set<std::string, CASELESS> seen;
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(';', start);
        if (end == std::string::npos)
            end = folders.size();
        std::string folder = folders.substr(start, end - start);
        start = end + 1;
        folder.erase(0, folder.find_first_not_of(" \t"));
        folder.erase(folder.find_last_not_of(" \t") + 1);
        DIRSEARCH search;
        if (folder.empty() || !search.findfirst(folder.c_str(), pattern.c_str()))
            continue;
        std::vector<std::string> names;
        do {
            if (!search.entry().isfolder)
                names.push_back(search.name());
        } while (search.findnext());
        std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return fnameicmp(a.c_str(), b.c_str()) < 0; });
        for (const std::string& name : names) {
            char path[PATHBUFFER];
            if (!seen.insert(name).second || !*addfilename(path, folder.c_str(), name.c_str()))
                continue;
            paths.push_back(path);
        }
    }
    return paths;
}

int MLIB::refresh()
{
    messages.clear();
    std::vector<std::unique_ptr<DLIB>> kept;
    for (const std::string& path : scan()) {
        auto known = std::find_if(libraries.begin(), libraries.end(),
            [&](const std::unique_ptr<DLIB>& lib) { return lib && path == lib->path; });
        std::unique_ptr<DLIB> library;
        if (known != libraries.end() && !(*known)->changed()) {
            kept.push_back(std::move(*known));
            continue;
        }
        library = known != libraries.end() ? std::move(*known)
                                           : std::make_unique<DLIB>(path.c_str(), indexing, classify);
        std::string cache
            = cachefolder.empty() ? std::string() : libcachename(cachefolder.c_str(), path.c_str());
        std::string error;
        int result = library->open(kind.c_str(), cache.c_str(), error);
        if (result == DLIB::OPENED)
            kept.push_back(std::move(library));
        else if (result == DLIB::FAILED)
            messages.push_back(error);
    }
    libraries = std::move(kept);
    order.clear();
    for (size_t i = 0; i < libraries.size(); ++i) {
        libraries[i]->number = static_cast<int32_t>(i);
        order.push_back(libraries[i]->name);
    }
    return count();
}

DLIB* MLIB::byname(const char* name) const
{
    for (const auto& library : libraries) {
        if (library->name == name)
            return library.get();
    }
    return nullptr;
}

DLIB* MLIB::rdlib(int i) const
{
    return i >= 0 && i < count() ? byname(order[i]) : nullptr;
}

int MLIB::wrcount() const
{
    return static_cast<int>(
        std::count_if(order.begin(), order.end(), [&](char* name) { return !byname(name)->isreadonly(); }));
}

char** MLIB::wrlibnames()
{
    writable.clear();
    for (char* name : order) {
        if (!byname(name)->isreadonly())
            writable.push_back(name);
    }
    return writable.data();
}

DLIB* MLIB::wrlib(int i) const
{
    for (char* name : order) {
        DLIB* library = byname(name);
        if (!library->isreadonly() && i-- == 0)
            return library;
    }
    return nullptr;
}

int MLIB::find(const char* name, DLIB** found, int max) const
{
    int holders = 0;
    for (int i = 0; i < count(); ++i) {
        DLIB* library = rdlib(i);
        if (!library->entry(name))
            continue;
        if (found && holders < max)
            found[holders] = library;
        ++holders;
    }
    return holders;
}

int MLIB::getnewest(const char* name, DLIB_INDEX_ENTRY** entry, DLIB** library) const
{
    DLIB_INDEX_ENTRY* newest = nullptr;
    DLIB* holder = nullptr;
    for (int i = 0; i < count(); ++i) {
        DLIB* candidate = rdlib(i);
        DLIB_INDEX_ENTRY* found = candidate->entry(name);
        if (found && (!newest || found->created > newest->created)) {
            newest = found;
            holder = candidate;
        }
    }
    if (entry)
        *entry = newest;
    if (library)
        *library = holder;
    return newest ? 1 : 0;
}
