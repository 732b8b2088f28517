#pragma once

// The autosave of a running program: one file per running instance in the user's private temporary
// folder, "<prefix><4 hex digits>.ASV", held open with a deny-all share lock for the instance's
// whole life, which is how other instances know it runs. While the user is active the program's
// work is written into it every interval; each written copy goes to a verifier child process as
// "<name>.DAZOD", and the child leaves it behind as "<name>.VASV" once it has loaded it. At start-up
// the autosave of an instance that did not end cleanly (its file held by no one) is offered from its
// verified copy; a file without one is deleted.
//
// What is written, how it is read back, how the verifier is started and what a failed verification
// does are the derived class's (the program's process). Every file here is written whole into a
// temporary beside it and renamed, so a write that fails leaves the last complete one; the held
// file keeps its lock across the rename.

#include <cstdio>
#include <functional>

#include "core/files/paths.h"
#include "platform/win/childprocess.h"

class AUTOSAVE {
public:
    AUTOSAVE();
    AUTOSAVE(const AUTOSAVE&) = delete;
    AUTOSAVE& operator=(const AUTOSAVE&) = delete;
    // Closes the file and deletes it with its companions; a verifier still running is ended.
    virtual ~AUTOSAVE();

    // Takes over the autosave of an instance that did not end cleanly when recoverproject agrees,
    // else makes a file of its own numbered past those other running instances hold. The folder is
    // the temporary folder, fallbackfolder only when that cannot be had. Non-zero when recovered.
    int init(const char* fallbackfolder, const char* prefix);
    // On every idle pass: when the interval has passed since the last save and the user was active,
    // writes the file and has it verified; then the interval starts again.
    void poll();
    // A new piece of work: the file holds nothing, its companions go, the user counts as active.
    void reset();
    // Ends autosaving; the files stay with keep (for the next start to find), else they go.
    void term(int keep);
    void setactive() { active = 1; }
    // Minutes between saves; 0 never saves.
    void setinterval(unsigned minutes) { interval = minutes; }
    unsigned getinterval() const { return interval; }
    int isrecovered() const { return recovered; }
    // The instance's autosave file; "" while there is none.
    const char* getautosavepath() const { return file ? autosavepath : ""; }
    // The verified copy of the instance's file or, while init offers an earlier instance's work,
    // of that one's.
    const char* getcheckedpath() const { return checkedpath; }

    // Seconds of the clock that the interval is measured on (the time of day unless replaced).
    using CLOCK = std::function<long long()>;
    void setclock(CLOCK replacement);

    // Writes the work at the stream's position; non-zero when written.
    virtual int writeproject(FILE* stream) = 0;
    // Loads the work back from a verified copy; non-zero when recovered.
    virtual int recoverproject(FILE* stream) = 0;
    // The verifier's own check of the file at path, run in the verifier process: 0 when it loads.
    virtual int verifyproject(const char* path) = 0;
    // Starts the verifier process on the file at path into verifier; non-zero when it started.
    virtual int startverifier(const char* path) = 0;
    // A verification failed or hung.
    virtual void onverifyfailed() = 0;

protected:
    // Copies stream from its position to a file made whole at path: 1 when at least one byte was
    // copied; 0 (and no file) when there was nothing to copy, an argument was null or the file
    // could not be written.
    static int copyto(FILE* stream, const char* path);

    PROCESS_INFORMATION verifier {}; // of the verifier running or last run; cleared when none

private:
    void verify();
    // Ends a verifier that did not end by itself, and forgets it.
    void endverifier();
    void closeverifier();
    // The file becomes what write puts into a fresh copy of it, when write answers non-zero.
    int rewrite(const std::function<int(FILE*)>& write);
    // The three names of the file numbered in folder.
    void formnames(const char* folder, const char* name);
    // Minutes since the last save; negative when the clock went back.
    long long minutessincesave() const;
    void deletefiles();

    char pendingpath[PATHBUFFER] = "";
    char autosavepath[PATHBUFFER] = "";
    char checkedpath[PATHBUFFER] = "";
    FILE* file = nullptr; // held open and locked while the instance runs
    long long lastsave = 0;
    unsigned interval = 0;
    int active = 1;
    int recovered = 0;
    CLOCK clock;
};
