#pragma once

// A set of named files in memory, so that a project can be put together and taken apart without
// temporary files. An entry is addressed by a folder and a name, its key being "folder/name", or
// the folder alone (a whole key) when the name is null; keys are kept to 519 characters. Each
// entry holds its contents as a memory file and its date and time as one DOS date-time (date in
// the high 16 bits, time in the low; 0 for none). The archive owns its entries.
//
// The operations that write an entry go through openfile and closefile, and those that read one
// through readfileinfo, so that an archive that reads its entries from a zip only when they are
// first asked for and streams them into a zip as they are written (VKTARCHIVE) serves them the
// same way. An entry whose file carries the error flag (0x80) is not read from.

#include <cstdint>

#include "core/containers/didx.h"
#include "core/files/ramfile.h"

// An entry of the archive (APPLNARCHIVE::FILEINFO).
struct APPLNARCHIVEFILE {
    explicit APPLNARCHIVEFILE(const char* name);

    char key[520];
    RAMFILE file;
    uint32_t datetime = 0;
};

template <> struct GDIDXKEY<APPLNARCHIVEFILE> {
    static char* key(const APPLNARCHIVEFILE* entry) { return const_cast<char*>(entry->key); }
};

class APPLNARCHIVE {
public:
    using FILEINFO = APPLNARCHIVEFILE;

    APPLNARCHIVE();
    // Copies every entry with its contents and date-time.
    APPLNARCHIVE(const APPLNARCHIVE& other);
    APPLNARCHIVE& operator=(const APPLNARCHIVE& other);
    virtual ~APPLNARCHIVE(); // deletes every entry

    // Deletes every entry.
    virtual void zap();
    virtual int exists(const char* folder, const char* name);
    // The entry's memory file, made when missing, at its start, for reading or writing.
    virtual VFILE& openfile(const char* folder, const char* name);
    // Ends the use of an opened entry: 1 when its file's error flag (0x80) is clear, else 0.
    virtual int closefile(VFILE& file, int flag);
    // 1 when the entry was there and is gone.
    virtual int deletefile(const char* folder, const char* name);
    // The entry's contents as NUL-terminated text (a NUL is kept after the last byte, not counted
    // in the contents); valid until the entry is written or deleted. Null for a missing entry.
    virtual const char* getfiletext(const char* folder, const char* name);
    // Takes the disk file at path (a Windows path) into the entry, with the file's last-write time
    // as its date-time: 1 when the whole file was read. The entry is replaced only then; a file
    // that cannot be opened or read leaves the archive as it was.
    virtual int putfile(const char* path, const char* folder, const char* name);
    // Copies the entry into out from out's position; 1 when out took all of it. 0 for a missing
    // entry, which changes nothing.
    virtual int getfile(VFILE& out, const char* folder, const char* name);
    // Writes the entry whole to the disk file at path, replacing it, and gives the file the entry's
    // date-time; 1 on success. A missing entry creates no file; a failure leaves an old file as
    // it was.
    virtual int getfile(const char* path, const char* folder, const char* name);

protected:
    // The entry of that key; with create a missing one is added, empty and without a date-time.
    FILEINFO* getfileinfo(const char* folder, const char* name, int create);
    // The entry whose memory file is file; null when none is.
    FILEINFO* findfileinfo(const VFILE& file) const;
    // The entry to read from, its contents in memory; null when missing.
    virtual FILEINFO* readfileinfo(const char* folder, const char* name)
    {
        return getfileinfo(folder, name, 0);
    }

    GDIDX<FILEINFO> index;
};
