#include "platform/win/regstore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "platform/win/boundedread.h"
#include "platform/win/replacefile.h"
#include "platform/win/system.h"
#include "platform/win/textcase.h"
#include "platform/win/winerror.h"

namespace regstore {

namespace {

struct FileId {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    timespec modified {};
    off_t size = 0;

    bool operator==(const FileId& o) const
    {
        return exists == o.exists && device == o.device && inode == o.inode
            && modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec
            && size == o.size;
    }
};

FileId identify(const std::string& file)
{
    struct stat info;
    if (stat(file.c_str(), &info) != 0)
        return {};
    return { true, info.st_dev, info.st_ino, info.st_mtim, info.st_size };
}

struct HiveCache {
    std::string file;
    bool loaded = false;
    FileId id;
    Key root;
    bool foreign = false; // the file is not a hive of our format version: never overwritten
    bool damaged = false;
    std::string refusal; // why a foreign file is not used
};

std::mutex storeMutex;
HiveCache caches[2];

HiveCache& cachefor(Hive hive)
{
    return caches[hive == Hive::user ? 0 : 1];
}

void refresh(HiveCache& cache, const std::string& file)
{
    FileId id = identify(file);
    if (cache.loaded && cache.file == file && cache.id == id)
        return;
    cache = HiveCache();
    cache.file = file;
    cache.loaded = true;
    cache.id = id;
    if (!id.exists)
        return;
    std::string text;
    std::string error;
    if (!readbounded(file.c_str(), text, error, HIVELIMIT, static_cast<size_t>(HIVELIMIT))) {
        cache.foreign = true;
        cache.refusal = error;
        return;
    }
    int version = parse(text, cache.root, cache.damaged, cache.refusal);
    if (version == formatVersion && cache.refusal.empty())
        return;
    cache.root = Key();
    cache.foreign = true;
    if (!version)
        cache.refusal = "not a settings file";
    else if (version != formatVersion)
        cache.refusal = "written in format " + std::to_string(version) + ", which this program does not read";
}

bool replacefile(const std::string& file, const std::string& text, bool keepdamaged)
{
    if (keepdamaged) {
        std::string aside = file + ".damaged";
        unlink(aside.c_str());
        if (link(file.c_str(), aside.c_str()) != 0)
            return false;
    }
    return replacefilewith(file, text.data(), text.size());
}

// Holds the lock file of a hive for as long as it lives.
class HiveLock {
public:
    explicit HiveLock(const std::string& file)
    {
        fd = open((file + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd >= 0 && flock(fd, LOCK_EX) != 0) {
            close(fd);
            fd = -1;
        }
    }
    ~HiveLock()
    {
        if (fd >= 0)
            close(fd);
    }
    HiveLock(const HiveLock&) = delete;
    HiveLock& operator=(const HiveLock&) = delete;
    bool held() const { return fd >= 0; }

private:
    int fd;
};

std::string environment(const char* name)
{
    const char* value = getenv(name);
    return value && *value ? value : "";
}

} // namespace

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char x = win::foldascii(a[i]);
        char y = win::foldascii(b[i]);
        if (x != y)
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    return a.size() < b.size();
}

std::vector<std::string> splitpath(const std::string& path)
{
    std::vector<std::string> levels;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t end = path.find('\\', pos);
        if (end == std::string::npos)
            end = path.size();
        if (end > pos)
            levels.push_back(path.substr(pos, end - pos));
        pos = end + 1;
    }
    return levels;
}

const Key* findkey(const Key& root, const std::vector<std::string>& levels)
{
    const Key* key = &root;
    for (const auto& level : levels) {
        auto it = key->subkeys.find(level);
        if (it == key->subkeys.end())
            return nullptr;
        key = it->second.get();
    }
    return key;
}

Key* findkey(Key& root, const std::vector<std::string>& levels)
{
    return const_cast<Key*>(findkey(static_cast<const Key&>(root), levels));
}

std::string hivefile(Hive hive)
{
    const char* name = hive == Hive::user ? "user.reg" : "machine.reg";
    std::string folder = environment("VKT_REGISTRY_DIR");
    if (!folder.empty())
        return folder + '/' + name;
    if (hive == Hive::machine) {
        std::filesystem::path program(programfile());
        return (program.parent_path().parent_path() / "share" / "vkt" / name).string();
    }
    std::string config = environment("XDG_CONFIG_HOME");
    if (config.empty())
        config = environment("HOME") + "/.config";
    return config + "/vkt/" + name;
}

std::string refusal(Hive hive)
{
    std::lock_guard<std::mutex> guard(storeMutex);
    HiveCache& cache = cachefor(hive);
    refresh(cache, hivefile(hive));
    return cache.refusal;
}

LONG read(Hive hive, const std::function<LONG(const Key& root)>& reader)
{
    std::lock_guard<std::mutex> guard(storeMutex);
    HiveCache& cache = cachefor(hive);
    refresh(cache, hivefile(hive));
    return reader(cache.root);
}

LONG write(Hive hive, const std::function<LONG(Key& root, bool& changed)>& change)
{
    if (hive != Hive::user)
        return ERROR_ACCESS_DENIED;
    std::lock_guard<std::mutex> guard(storeMutex);
    HiveCache& cache = cachefor(hive);
    std::string file = hivefile(hive);
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ignored);
    HiveLock lock(file);
    if (!lock.held())
        return ERROR_WRITE_FAULT;
    refresh(cache, file);
    if (cache.foreign)
        return ERROR_BADDB;
    bool changed = false;
    LONG result = change(cache.root, changed);
    if (result != ERROR_SUCCESS && changed)
        cache.loaded = false;
    if (result != ERROR_SUCCESS || !changed)
        return result;
    const std::string text = serialise(cache.root);
    // A hive the next read would refuse is never written.
    if (static_cast<int64_t>(text.size()) > HIVELIMIT) {
        cache.loaded = false;
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    if (!replacefile(file, text, cache.damaged)) {
        cache.loaded = false;
        return ERROR_WRITE_FAULT;
    }
    cache.damaged = false;
    cache.id = identify(file);
    return ERROR_SUCCESS;
}

} // namespace regstore
