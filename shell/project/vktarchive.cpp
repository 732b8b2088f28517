#include "shell/project/vktarchive.h"

#include <cstring>
#include <string_view>
#include <unordered_map>

#include "core/files/paths.h"
#include "core/text/strutil.h"
#include "framework/context/applncontext.h"
#include "platform/tirsk/reporting.h"
#include "platform/vexmor/unziparchive.h"
#include "platform/vexmor/ziparchive.h"
#include "platform/win/files.h"
#include "platform/win/pathboundary.h"

namespace {

constexpr unsigned long couldNotOpenFile = 4;
const char* const couldNotRead = "Could not read archive\nZIP Error: %s";
constexpr unsigned errorFlag = 0x80;

void empty(RAMFILE& file)
{
    file.length = 0;
    file.position = 0;
}

} // namespace

VKTARCHIVE::VKTARCHIVE() = default;

VKTARCHIVE::VKTARCHIVE(const VKTARCHIVE& other) = default;

VKTARCHIVE& VKTARCHIVE::operator=(const VKTARCHIVE& other) = default;

VKTARCHIVE::~VKTARCHIVE() = default;

void VKTARCHIVE::setextension(const char* text)
{
    strnzcpy(extension, text, sizeof extension - 1);
}

int VKTARCHIVE::beginload(const char* file, int quiet)
{
    reader = std::make_shared<UNZIPARCHIVE>();
    adddefext(path, file ? file : "", extension);
    if (!reader->open(path)) {
        if (!quiet && _access(path, 4) != 0)
            errorbox(getapplnmessage(couldNotOpenFile), toposixpath(path).c_str());
        else if (!quiet)
            reportread();
        reader.reset();
        return 0;
    }
    return listfiles(quiet);
}

int VKTARCHIVE::beginload(FILE* file, int quiet)
{
    reader = std::make_shared<UNZIPARCHIVE>();
    if (!reader->open(file)) {
        if (!quiet)
            reportread();
        reader.reset();
        return 0;
    }
    return listfiles(quiet);
}

// Adds an empty entry for every file of the zip, in the zip's order, once all names fit a key.
// The entries already there are found through one map, so that listing stays linear in the files.
int VKTARCHIVE::listfiles(int quiet)
{
    for (int more = reader->selectfirst(); more; more = reader->selectnext()) {
        if (std::strlen(reader->filename()) >= sizeof FILEINFO::key) {
            if (!quiet)
                errorbox(couldNotRead, "A file name in the archive is longer than 519 characters.");
            reader.reset();
            return 0;
        }
    }
    std::unordered_map<std::string_view, FILEINFO*> present;
    for (FILEINFO* entry : index)
        present.emplace(entry->key, entry);
    for (int more = reader->selectfirst(); more; more = reader->selectnext()) {
        auto found = present.find(reader->filename());
        FILEINFO* entry = found != present.end() ? found->second : new FILEINFO(reader->filename());
        if (found == present.end())
            index.add(entry);
        empty(entry->file);
        entry->datetime = reader->filetime();
    }
    quietload = quiet;
    loaded = 0;
    return 1;
}

int VKTARCHIVE::unzipinto(FILEINFO& entry)
{
    empty(entry.file);
    entry.file.setflags(entry.file.flags & ~errorFlag);
    if (reader->select(entry.key) && reader->unzip(entry.file)) {
        entry.file.rewind();
        return 1;
    }
    empty(entry.file);
    entry.file.setflags(entry.file.flags | errorFlag);
    return 0;
}

int VKTARCHIVE::unread(const FILEINFO& entry) const
{
    return reader && !entry.file.length && reader->exists(entry.key);
}

int VKTARCHIVE::fill(FILEINFO& entry)
{
    return unread(entry) ? unzipinto(entry) : 1;
}

APPLNARCHIVE::FILEINFO* VKTARCHIVE::readfileinfo(const char* folder, const char* name)
{
    FILEINFO* entry = getfileinfo(folder, name, 0);
    if (entry)
        fill(*entry);
    return entry;
}

VFILE& VKTARCHIVE::openfile(const char* folder, const char* name)
{
    FILEINFO& entry = *getfileinfo(folder, name, 1);
    if (unread(entry)) {
        unzipinto(entry);
    } else if (writer) {
        empty(entry.file);
        entry.file.setflags(entry.file.flags & ~errorFlag);
    }
    entry.file.rewind();
    return entry.file;
}

int VKTARCHIVE::closefile(VFILE& file, int discard)
{
    const int clean = file.testflags(errorFlag) ? 0 : 1;
    FILEINFO* entry = findfileinfo(file);
    if (!entry || !writer || discard)
        return clean;
    return writeentry(*entry) && clean;
}

int VKTARCHIVE::writeentry(FILEINFO& entry)
{
    written.insert(entry.key);
    entry.file.rewind();
    const int ok
        = writer->openfile(entry.key, entry.datetime) && writer->write(entry.file) && writer->closefile();
    entry.file.rewind();
    return ok;
}

int VKTARCHIVE::endload()
{
    if (!reader)
        return loaded;
    int whole = 1;
    for (FILEINFO* entry : index)
        if (!fill(*entry))
            whole = 0;
    if (!whole && !quietload)
        reportread();
    reader->close();
    reader.reset();
    loaded = whole;
    return loaded;
}

int VKTARCHIVE::beginsave(const char* file)
{
    adddefext(path, file ? file : "", extension);
    writer = std::make_shared<ZIPARCHIVE>(1, 0, 0);
    if (!writer->create(path)) {
        errorbox(getapplnmessage(couldNotOpenFile), toposixpath(path).c_str());
        writer.reset();
    }
    written.clear();
    loaded = 0;
    return writer != nullptr;
}

int VKTARCHIVE::beginsave(FILE* file)
{
    writer = std::make_shared<ZIPARCHIVE>(1, 0, 0);
    written.clear();
    if (!writer->attach(file))
        endsave();
    loaded = 0;
    return writer != nullptr;
}

int VKTARCHIVE::endsave()
{
    if (!writer)
        return 0;
    int ok = writer->iserror() ? 0 : 1;
    for (FILEINFO* entry : index) {
        if (written.count(entry->key))
            continue;
        // An entry of a zip still being read that nobody opened goes in with its contents.
        if (!fill(*entry))
            ok = 0;
        if (!writeentry(*entry))
            ok = 0;
    }
    if (!writer->close(0))
        ok = 0;
    if (writer->iserror() && *writer->errortext())
        errorbox("Could not save project: '%s'\n ZIP error '%s'", toposixpath(path).c_str(), writer->errortext());
    writer.reset();
    written.clear();
    return ok;
}

void VKTARCHIVE::reportread()
{
    errorbox(couldNotRead, reader->errortext());
}
