#include "platform/vexmor/unziparchive.h"

#include <fcntl.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <cinttypes>
#include <cstring>
#include <unordered_set>

#include "core/files/vfile.h"
#include "platform/vexmor/zipfiles.h"
#include "platform/vexmor/zipnames.h"
#include "platform/vexmor/zipwindow.h"
#include "platform/win/dostime.h"
#include "platform/win/pathboundary.h"

namespace {

constexpr int copyBlock = 1 << 16;

std::string sizetext(const char* format, const std::string& name, uint64_t a, uint64_t b)
{
    char text[700];
    std::snprintf(text, sizeof text, format, name.c_str(), a, b);
    return text;
}

} // namespace

UNZIPARCHIVE::UNZIPARCHIVE()
    : error("UNZIPARCHIVE_ERRORS")
{
}

UNZIPARCHIVE::~UNZIPARCHIVE()
{
    close();
}

int UNZIPARCHIVE::open(const char* path)
{
    close();
    error.clear();
    name = path ? path : "";
    const std::string found = findexistingpath(name.c_str());
    const int descriptor = found.empty() ? -1 : ::open(found.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        fail(UZ_OPENARCHIVE, {}, ZIP_ER_OPEN, found.empty() ? ENOENT : errno);
        return 0;
    }
    return openfrom(descriptor, 0);
}

int UNZIPARCHIVE::open(FILE* file)
{
    close();
    error.clear();
    name = zipstreamname(file);
    const int64_t start = file ? ::ftello(file) : -1;
    const int descriptor
        = start < 0 || std::fflush(file) != 0 ? -1 : ::fcntl(::fileno(file), F_DUPFD_CLOEXEC, 0);
    if (descriptor < 0) {
        fail(UZ_OPENARCHIVE, {}, ZIP_ER_OPEN, file ? errno : EBADF);
        return 0;
    }
    return openfrom(descriptor, start);
}

int UNZIPARCHIVE::openfrom(int descriptor, int64_t start)
{
    fd = descriptor;
    zip_error_t failure;
    zip_error_init(&failure);
    zip_source_t* source = openzipwindow(fd, start, &failure);
    if (source) {
        zip_stat_t whole;
        length = zip_source_stat(source, &whole) == 0 ? static_cast<int64_t>(whole.size) : 0;
        archive = zip_open_from_source(source, ZIP_RDONLY, &failure);
        if (!archive)
            zip_source_free(source);
    }
    if (!archive) {
        fail(UZ_OPENARCHIVE, {}, zip_error_code_zip(&failure), zip_error_code_system(&failure));
        zip_error_fini(&failure);
        close();
        return 0;
    }
    zip_error_fini(&failure);
    if (!checkfiles()) {
        close();
        return 0;
    }
    return 1;
}

// Lists the files and refuses the archive when a name or a size is out of bounds.
int UNZIPARCHIVE::checkfiles()
{
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count > MAXFILES) {
        fail(UZ_OPENARCHIVE, {}, ZIP_ER_INCONS, 0,
            "The archive holds " + std::to_string(count) + " files, more than the " + std::to_string(MAXFILES)
                + " allowed.");
        return 0;
    }
    std::unordered_set<std::string> names;
    uint64_t total = 0;
    for (zip_int64_t index = 0; index < count; ++index) {
        zip_stat_t stat;
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(index), 0, &stat) != 0
            || !(stat.valid & ZIP_STAT_NAME) || !(stat.valid & ZIP_STAT_SIZE)
            || !(stat.valid & ZIP_STAT_COMP_SIZE)) {
            zip_error_t* failure = zip_get_error(archive);
            fail(index ? UZ_NEXTFILE : UZ_FIRSTFILE, {}, zip_error_code_zip(failure),
                zip_error_code_system(failure));
            return 0;
        }
        const std::string file = stat.name;
        std::string fault = zipnamefault(stat.name);
        if (fault.empty() && !names.insert(file).second)
            fault = "The file '" + file + "' stands in the archive twice.";
        if (fault.empty() && stat.size > MAXFILESIZE)
            fault = sizetext("The file '%s' would unpack to %" PRIu64 " bytes, more than the %" PRIu64
                             " bytes allowed for one file.",
                file, stat.size, MAXFILESIZE);
        if (fault.empty() && stat.size / MAXRATIO > stat.comp_size)
            fault = sizetext("The file '%s' would unpack to %" PRIu64 " bytes from %" PRIu64
                             ", more than 1000 times its packed size.",
                file, stat.size, stat.comp_size);
        total += stat.size;
        if (fault.empty() && total > MAXTOTALSIZE)
            fault = sizetext("The files up to '%s' would unpack to %" PRIu64 " bytes, more than the %" PRIu64
                             " bytes allowed for an archive.",
                file, total, MAXTOTALSIZE);
        if (fault.empty() && total / MAXRATIO > static_cast<uint64_t>(length))
            fault = sizetext("The files up to '%s' would unpack to %" PRIu64
                             " bytes from an archive of %" PRIu64 ", more than 1000 times its size.",
                file, total, static_cast<uint64_t>(length));
        if (!fault.empty()) {
            fail(UZ_OPENARCHIVE, file, ZIP_ER_INCONS, 0, fault);
            return 0;
        }
        if (file.back() == '/')
            continue;
        byname.emplace(file, static_cast<int>(files.size()));
        files.push_back({ static_cast<uint64_t>(index), file,
            stat.valid & ZIP_STAT_MTIME ? dosdatetimeof(stat.mtime) : 0, stat.size });
    }
    return 1;
}

int UNZIPARCHIVE::selectfirst()
{
    selected = files.empty() ? -1 : 0;
    return selected >= 0;
}

int UNZIPARCHIVE::selectnext()
{
    if (selected < 0)
        return 0;
    selected = selected + 1 < static_cast<int>(files.size()) ? selected + 1 : -1;
    return selected >= 0;
}

int UNZIPARCHIVE::select(const char* file)
{
    selected = -1;
    auto found = file ? byname.find(file) : byname.end();
    if (found != byname.end())
        selected = found->second;
    else
        fail(UZ_OPENFILE, file ? file : "", ZIP_ER_NOENT, 0);
    return selected >= 0;
}

int UNZIPARCHIVE::exists(const char* file) const
{
    return file && byname.count(file);
}

const char* UNZIPARCHIVE::filename() const
{
    return selected >= 0 ? files[selected].name.c_str() : "";
}

uint32_t UNZIPARCHIVE::filetime() const
{
    return selected >= 0 ? files[selected].datetime : 0;
}

int UNZIPARCHIVE::unzip(VFILE& out)
{
    if (selected < 0) {
        fail(UZ_OPENFILE, {}, ZIP_ER_INVAL, 0, "No file of the archive is selected.");
        return 0;
    }
    const FILEENTRY& file = files[selected];
    zip_file_t* stream = zip_fopen_index(archive, file.index, 0);
    if (!stream) {
        zip_error_t* failure = zip_get_error(archive);
        fail(UZ_OPENFILE, file.name, zip_error_code_zip(failure), zip_error_code_system(failure));
        return 0;
    }
    std::vector<char> block(copyBlock);
    uint64_t total = 0;
    int ok = 1;
    zip_int64_t n;
    while (ok && (n = zip_fread(stream, block.data(), block.size())) != 0) {
        if (n < 0) {
            zip_error_t* failure = zip_file_get_error(stream);
            fail(UZ_READFILE, file.name, zip_error_code_zip(failure), zip_error_code_system(failure));
            ok = 0;
        } else if ((total += static_cast<uint64_t>(n)) > file.size) {
            fail(UZ_READFILE, file.name, ZIP_ER_INCONS, 0,
                "The file '" + file.name + "' unpacks to more bytes than the archive declares for it.");
            ok = 0;
        } else if (out.write(block.data(), static_cast<int>(n)) != n) {
            fail(UZ_WRITEFILE, file.name, ZIP_ER_WRITE, ENOMEM);
            ok = 0;
        }
    }
    if (ok && total != file.size) {
        fail(UZ_READFILE, file.name, ZIP_ER_EOF, 0);
        ok = 0;
    }
    if (zip_fclose(stream) != 0 && ok) {
        fail(UZ_CLOSEFILE, file.name, zip_error_code_zip(zip_get_error(archive)), 0);
        ok = 0;
    }
    return ok;
}

int UNZIPARCHIVE::close()
{
    int ok = 1;
    if (archive) {
        zip_discard(archive);
        archive = nullptr;
    }
    if (fd >= 0 && ::close(fd) != 0) {
        fail(UZ_CLOSEARCHIVE, {}, ZIP_ER_CLOSE, errno);
        ok = 0;
    }
    fd = -1;
    files.clear();
    byname.clear();
    selected = -1;
    return ok;
}

void UNZIPARCHIVE::fail(int code, const std::string& file, int ret, int sys, const std::string& detail)
{
    error.set(code, name, file, ret, sys, detail);
}
