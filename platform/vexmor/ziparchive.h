#pragma once

// Writing zip archives: a new archive that takes the place of a file, or one written into an open
// file at its position (an autosave file carries a header before the zip). Files are added one at
// a time, each with its name and DOS date and time, and the archive is written when it is closed:
// for a path into a temporary file beside it that replaces the old file only when every file went
// in whole and the zip was written and closed without error, so that a failed save leaves the old
// file as it was. An archive without files is never written. Errors carry their number in the
// program's table "ZIPARCHIVE_ERRORS" and a text; the first one sticks, and an archive with an
// error is not written when closed. Callers: the project archive (VKTARCHIVE).

#include <cstdint>
#include <cstdio>
#include <list>
#include <string>
#include <vector>

#include "platform/vexmor/ziperror.h"

class VFILE;
struct zip;
struct zip_source;

class ZIPARCHIVE {
public:
    enum ERRORS {
        ZA_OK,
        ZA_ALLOCATE,
        ZA_CLOSEARCHIVE,
        ZA_CLOSEFILE,
        ZA_INCOMPLETECOPY,
        ZA_CLOSEDISKFILE,
        ZA_OPENARCHIVE,
        ZA_CREATEARCHIVE,
        ZA_APPENDARCHIVE,
        ZA_OPENDISKFILE,
        ZA_OPENFILE,
        ZA_OPENSOURCE,
        ZA_SEEKSOURCE,
        ZA_WRITEDISKFILE,
        ZA_WRITEFILE,
    };

    // deflate: 1 compresses the files, 0 stores them; append: only 0 (a new archive) is made, an
    // archive asked to append fails when created; level: 1 to 9, or 0 for the library's default.
    ZIPARCHIVE(int deflate, int append, int level);
    ~ZIPARCHIVE(); // an archive not closed is dropped: nothing is written
    ZIPARCHIVE(const ZIPARCHIVE&) = delete;
    ZIPARCHIVE& operator=(const ZIPARCHIVE&) = delete;

    // A new archive for the file at path (a Windows path; an existing file in another case is the
    // one replaced). 1, or 0 with the error set when no file can be made beside it.
    int create(const char* path);
    // A new archive to be written into stream at its position when closed; the stream stays the
    // caller's and must stay open until then.
    int attach(FILE* stream);

    // Begins the file name with its DOS date-time (0: the time of closing the file). 0 with the
    // error set when the name may not stand in an archive or a file is open already. A file
    // of a name given before replaces the earlier one.
    int openfile(const char* name, uint32_t datetime);
    // Adds size bytes to the open file; 0 with the error set when they do not fit in memory.
    int write(const void* data, int size);
    // Adds source from its position to its end. A source whose error flag (0x80) is set was not
    // written whole: the copy counts as incomplete and the archive will not be written.
    int write(VFILE& source);
    // Ends the open file; 1, or 0 with the error set.
    int closefile();

    // discard 0: writes the archive where create or attach said; 1 on success. Non-zero drops it.
    // Either way nothing is open afterwards. 0 with the error set when anything failed, the old
    // file then being untouched.
    int close(int discard);

    int iserror() const { return error.code() != ZA_OK; }
    int errorcode() const { return error.code(); }
    const char* errortext() const { return error.text(); }

private:
    int begin();
    int writeout();
    void drop();
    void fail(int code, const std::string& file, int ret, int sys, const std::string& detail = {});

    const int deflate;
    const int append;
    const int level;
    zip* archive = nullptr;
    zip_source* memory = nullptr; // where the library builds the zip; read out when closing
    FILE* stream = nullptr;
    std::string temporary; // beside target while a created archive is open; "" for an attached one
    std::string target;
    std::string name; // of the archive, for the error texts
    std::list<std::vector<unsigned char>> contents; // of the files added, kept until written
    std::string filename; // of the open file
    uint32_t filedatetime = 0;
    bool fileopen = false;
    ZIPERROR error;
};
