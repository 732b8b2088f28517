#pragma once

// The in-memory archive of a project file, read from and written into a zip. Reading is lazy:
// beginload lists the zip's files as empty entries, an entry is unzipped when it is first opened,
// and endload unzips the rest and closes the zip. Writing streams: an entry opened and closed
// during a save goes into the zip then, and endsave writes the entries nobody wrote and puts the
// zip in the place of the file, which happens only when every entry went in whole.
//
// Entries stay in the archive after a save, so that a second save, or a board whose layout waits in
// the archive, finds them still there.

#include <cstdio>
#include <memory>
#include <string>
#include <unordered_set>

#include "framework/documents/applnarchive.h"

class UNZIPARCHIVE;
class ZIPARCHIVE;

class VKTARCHIVE : public APPLNARCHIVE {
public:
    VKTARCHIVE();
    // A copy shares the zip being read or written with the original.
    VKTARCHIVE(const VKTARCHIVE& other);
    VKTARCHIVE& operator=(const VKTARCHIVE& other);
    ~VKTARCHIVE() override; // a zip being written and not ended is dropped; the old file stays

    // Opens the zip at path (the default extension added when it has none) or in the open file
    // from its position, and lists its files as entries: 1, or 0 after reporting the failure
    // unless quiet (message 4 for a file that cannot be opened, else the reader's error).
    int beginload(const char* path, int quiet);
    int beginload(FILE* file, int quiet);
    // Unzips every entry not yet read and closes the zip: 1 when all came out whole, 0 after
    // reporting the reader's error (unless the load was quiet) or when no zip was open.
    int endload();
    // A new zip for path (the default extension added when it has none) or for the open file at
    // its position: 1, or 0 after reporting the failure.
    int beginsave(const char* path);
    int beginsave(FILE* file);
    // Writes the entries not written yet and the zip: 1 when every step succeeded; otherwise the
    // old file stays and the writer's error is reported. 0 when no save was begun.
    int endsave();

    // The entry, made when missing: while loading, unzipped the first time it is opened (a fault
    // sets its error flag, 0x80); while saving, emptied for writing.
    VFILE& openfile(const char* folder, const char* name) override;
    // While saving, puts the entry into the zip unless discard is set. 1 when the file has no
    // error flag and the zip took it.
    int closefile(VFILE& file, int discard) override;
    // The default extension, at most 30 characters, "vktprj" until set.
    void setextension(const char* extension);

    const char* getpath() const { return path; }

protected:
    // The entry, unzipped first when a zip is being read and it was not yet.
    FILEINFO* readfileinfo(const char* folder, const char* name) override;

private:
    int listfiles(int quiet);
    // Whether a zip is being read that holds the entry and the entry is still empty.
    int unread(const FILEINFO& entry) const;
    // Unzips the entry when it is unread: 1, or 0 with its error flag set.
    int fill(FILEINFO& entry);
    int unzipinto(FILEINFO& entry);
    int writeentry(FILEINFO& entry);
    void reportread();

    char extension[31] = "vktprj";
    char path[517] = "";
    std::shared_ptr<UNZIPARCHIVE> reader; // between beginload and endload
    std::shared_ptr<ZIPARCHIVE> writer; // between beginsave and endsave
    int loaded = 0;
    int quietload = 0;
    std::unordered_set<std::string> written; // keys of the entries in the zip being written
};
