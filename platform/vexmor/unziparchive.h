#pragma once

// Reading zip archives: a file named by its path, or the zip that an open file holds from its
// current position on (an autosave file carries a header before the zip). The files are listed in
// the zip's order with their names and DOS dates and times, selected by name and unzipped into a
// VFILE when asked for. Opening refuses what could hurt the program that reads: more than
// MAXFILES files (a project holds a few dozen), names that leave the archive (absolute, "..") or
// stand twice, a file that would unpack to more than 1 GiB or to more than 1000 times its packed
// size, and files that would unpack to more than 4 GiB, or to more than 1000 times the archive's
// size, in all. Errors carry their number in the program's table
// "UNZIPARCHIVE_ERRORS" and a text; the first one sticks until the archive is opened again.
// Callers: the project archive (VKTARCHIVE).

#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/vexmor/ziperror.h"

class VFILE;
struct zip;

class UNZIPARCHIVE {
public:
    enum ERRORS {
        UZ_OK,
        UZ_OPENARCHIVE,
        UZ_FIRSTFILE,
        UZ_NEXTFILE,
        UZ_OPENFILE,
        UZ_CLOSEFILE,
        UZ_READFILE,
        UZ_WRITEFILE,
        UZ_CLOSEARCHIVE,
    };
    static constexpr uint64_t MAXFILESIZE = uint64_t { 1 } << 30;
    static constexpr uint64_t MAXTOTALSIZE = uint64_t { 4 } << 30;
    static constexpr uint64_t MAXRATIO = 1000;
    static constexpr int64_t MAXFILES = 10000;

    UNZIPARCHIVE();
    ~UNZIPARCHIVE(); // closes an open archive
    UNZIPARCHIVE(const UNZIPARCHIVE&) = delete;
    UNZIPARCHIVE& operator=(const UNZIPARCHIVE&) = delete;

    // 1 when the zip is open and passed the checks; 0 with the error set. The path is a Windows
    // path found without regard to case; the stream stays the caller's and may be closed while
    // the archive is open. An archive open before is closed first.
    int open(const char* path);
    int open(FILE* file);
    // 1 while a zip is open.
    int isopen() const { return archive != nullptr; }

    // The first or next file in the zip's order (folders are passed over); 0 after the last.
    int selectfirst();
    int selectnext();
    // The file of exactly that name; 0 with the error set when the zip holds none.
    int select(const char* name);
    // 1 when the zip holds a file of exactly that name; nothing is selected.
    int exists(const char* name) const;
    // Name and DOS date-time (date in the high 16 bits, time in the low; 0 when the zip has none)
    // of the selected file; "" and 0 when none is selected.
    const char* filename() const;
    uint32_t filetime() const;
    // Unzips the selected file into out from out's position: 1 when every byte came out and
    // matched its check sum; 0 with the error set, out then holding what came before the fault.
    int unzip(VFILE& out);

    // 1, or 0 with the error set when the zip could not be closed cleanly; nothing when none is open.
    int close();

    int iserror() const { return error.code() != UZ_OK; }
    int errorcode() const { return error.code(); }
    const char* errortext() const { return error.text(); }

private:
    struct FILEENTRY {
        uint64_t index; // in the zip
        std::string name;
        uint32_t datetime;
        uint64_t size;
    };

    int openfrom(int descriptor, int64_t start);
    int checkfiles();
    void fail(int code, const std::string& file, int ret, int sys, const std::string& detail = {});

    zip* archive = nullptr;
    int fd = -1; // owned while the zip is open
    int64_t length = 0; // bytes of the file from the zip's start
    std::string name; // of the archive, for the error texts
    std::vector<FILEENTRY> files; // in the zip's order
    std::unordered_map<std::string, int> byname; // index into files
    int selected = -1; // index into files
    ZIPERROR error;
};
