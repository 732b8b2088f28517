#include "platform/vexmor/ziparchive.h"

#include <zip.h>

#include <cerrno>
#include <ctime>
#include <new>

#include "core/files/vfile.h"
#include "platform/vexmor/zipfiles.h"
#include "platform/vexmor/zipnames.h"
#include "platform/win/dostime.h"
#include "platform/win/pathboundary.h"
#include "platform/win/replacefile.h"

namespace {

constexpr int copyBlock = 1 << 16;
constexpr unsigned errorFlag = 0x80;

} // namespace

ZIPARCHIVE::ZIPARCHIVE(int deflate, int append, int level)
    : deflate(deflate)
    , append(append)
    , level(level)
    , error("ZIPARCHIVE_ERRORS")
{
}

ZIPARCHIVE::~ZIPARCHIVE()
{
    drop();
}

int ZIPARCHIVE::create(const char* path)
{
    drop();
    error.clear();
    name = path ? path : "";
    if (append) {
        fail(ZA_APPENDARCHIVE, {}, ZIP_ER_OPNOTSUPP, 0);
        return 0;
    }
    target = pathforwriting(name.c_str());
    stream = target.empty() ? nullptr : openbeside(target, temporary);
    if (!stream) {
        fail(ZA_CREATEARCHIVE, {}, ZIP_ER_TMPOPEN, target.empty() ? ENOENT : errno);
        return 0;
    }
    return begin();
}

int ZIPARCHIVE::attach(FILE* file)
{
    drop();
    error.clear();
    name = zipstreamname(file);
    if (append || !file) {
        fail(append ? ZA_APPENDARCHIVE : ZA_OPENARCHIVE, {}, append ? ZIP_ER_OPNOTSUPP : ZIP_ER_INVAL, 0);
        return 0;
    }
    stream = file;
    return begin();
}

int ZIPARCHIVE::begin()
{
    zip_error_t failure;
    zip_error_init(&failure);
    memory = zip_source_buffer_create(nullptr, 0, 0, &failure);
    archive = memory ? zip_open_from_source(memory, ZIP_TRUNCATE, &failure) : nullptr;
    if (archive)
        zip_source_keep(memory);
    else
        fail(memory ? ZA_CREATEARCHIVE : ZA_ALLOCATE, {}, zip_error_code_zip(&failure),
            zip_error_code_system(&failure));
    zip_error_fini(&failure);
    if (!archive) {
        if (memory)
            zip_source_free(memory);
        memory = nullptr;
        drop();
        return 0;
    }
    return 1;
}

int ZIPARCHIVE::openfile(const char* file, uint32_t datetime)
{
    const std::string fault = !archive ? "The archive is not open."
        : fileopen                     ? "The file '" + filename + "' is still open."
                                       : zipnamefault(file);
    if (!fault.empty()) {
        fail(ZA_OPENFILE, file ? file : "", ZIP_ER_INVAL, 0, fault);
        return 0;
    }
    contents.emplace_back();
    filename = file;
    filedatetime = datetime;
    fileopen = true;
    return 1;
}

int ZIPARCHIVE::write(const void* data, int size)
{
    if (!fileopen) {
        fail(ZA_WRITEFILE, {}, ZIP_ER_INVAL, 0, "No file of the archive is open.");
        return 0;
    }
    if (size <= 0)
        return size == 0;
    try {
        const auto* bytes = static_cast<const unsigned char*>(data);
        contents.back().insert(contents.back().end(), bytes, bytes + size);
    } catch (const std::bad_alloc&) {
        fail(ZA_ALLOCATE, filename, ZIP_ER_MEMORY, ENOMEM);
        return 0;
    }
    return 1;
}

int ZIPARCHIVE::write(VFILE& source)
{
    std::vector<char> block(copyBlock);
    int n;
    while ((n = source.read(block.data(), copyBlock)) > 0)
        if (!write(block.data(), n))
            return 0;
    if (source.testflags(errorFlag)) {
        fail(ZA_INCOMPLETECOPY, filename, ZIP_ER_INCONS, 0,
            "The file '" + filename + "' was not written whole.");
        return 0;
    }
    return 1;
}

int ZIPARCHIVE::closefile()
{
    if (!fileopen) {
        fail(ZA_CLOSEFILE, {}, ZIP_ER_INVAL, 0, "No file of the archive is open.");
        return 0;
    }
    fileopen = false;
    const std::vector<unsigned char>& data = contents.back();
    zip_error_t failure;
    zip_error_init(&failure);
    zip_source_t* source
        = zip_source_buffer_create(data.empty() ? nullptr : data.data(), data.size(), 0, &failure);
    if (!source) {
        fail(ZA_ALLOCATE, filename, zip_error_code_zip(&failure), zip_error_code_system(&failure));
        zip_error_fini(&failure);
        return 0;
    }
    zip_error_fini(&failure);
    const zip_int64_t index
        = zip_file_add(archive, filename.c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
    if (index < 0)
        zip_source_free(source);
    const uint32_t datetime = filedatetime ? filedatetime : dosdatetimeof(std::time(nullptr));
    if (index < 0
        || zip_file_set_dostime(archive, static_cast<zip_uint64_t>(index),
               static_cast<zip_uint16_t>(datetime), static_cast<zip_uint16_t>(datetime >> 16), 0)
            != 0
        || zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
               deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, static_cast<zip_uint32_t>(level))
            != 0) {
        zip_error_t* reason = zip_get_error(archive);
        fail(ZA_CLOSEFILE, filename, zip_error_code_zip(reason), zip_error_code_system(reason));
        return 0;
    }
    return 1;
}

int ZIPARCHIVE::close(int discard)
{
    if (!archive || discard) {
        drop();
        return discard ? 1 : 0;
    }
    if (fileopen)
        closefile();
    if (!iserror() && zip_get_num_entries(archive, 0) == 0)
        fail(ZA_CLOSEARCHIVE, {}, ZIP_ER_INVAL, 0, "The archive holds no files, so it is not written.");
    if (!iserror() && zip_close(archive) != 0) {
        zip_error_t* reason = zip_get_error(archive);
        fail(ZA_CLOSEARCHIVE, {}, zip_error_code_zip(reason), zip_error_code_system(reason));
    } else if (!iserror()) {
        archive = nullptr;
        return writeout();
    }
    drop();
    return 0;
}

// Copies the zip the library built in memory into the stream, and a temporary over its target.
int ZIPARCHIVE::writeout()
{
    if (zip_source_open(memory) != 0) {
        zip_error_t* reason = zip_source_error(memory);
        fail(ZA_CLOSEARCHIVE, {}, zip_error_code_zip(reason), zip_error_code_system(reason));
        drop();
        return 0;
    }
    std::vector<char> block(copyBlock);
    zip_int64_t n;
    while (!iserror() && (n = zip_source_read(memory, block.data(), block.size())) != 0) {
        if (n < 0) {
            zip_error_t* reason = zip_source_error(memory);
            fail(ZA_CLOSEARCHIVE, {}, zip_error_code_zip(reason), zip_error_code_system(reason));
        } else if (std::fwrite(block.data(), 1, static_cast<size_t>(n), stream) != static_cast<size_t>(n)) {
            fail(ZA_WRITEDISKFILE, {}, ZIP_ER_WRITE, errno);
        }
    }
    zip_source_close(memory);
    if (!iserror() && !temporary.empty()) {
        FILE* written = stream;
        const std::string beside = temporary;
        stream = nullptr;
        temporary.clear();
        if (!replacetarget(written, beside, target))
            fail(ZA_CLOSEDISKFILE, {}, ZIP_ER_RENAME, errno);
    } else if (!iserror() && std::fflush(stream) != 0) {
        fail(ZA_WRITEDISKFILE, {}, ZIP_ER_WRITE, errno);
    }
    const int ok = !iserror();
    drop();
    return ok;
}

void ZIPARCHIVE::drop()
{
    if (archive)
        zip_discard(archive);
    archive = nullptr;
    if (memory)
        zip_source_free(memory);
    memory = nullptr;
    if (stream && !temporary.empty())
        discardbeside(stream, temporary);
    stream = nullptr;
    temporary.clear();
    contents.clear();
    fileopen = false;
}

void ZIPARCHIVE::fail(int code, const std::string& file, int ret, int sys, const std::string& detail)
{
    error.set(code, name, file, ret, sys, detail);
}
