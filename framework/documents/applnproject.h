#pragma once

// The base of the program's project: its path, working folder, dirty and read-only state, the
// backup settings, and the two undo stacks of the whole program. Every document of the project
// records its edits on these stacks, so undo and redo run across documents in one order. The
// project owns the frames on its stacks. Its properties and scripts are texts that the derived
// project keeps; this base gives them their Qt forms.

#include "core/containers/dlist.h"
#include "framework/documents/undoframe.h"

class APPLNDOCUMENT;
class QString;

class APPLNPROJECT {
public:
    static constexpr int MAXUNDOLEVELS = 20;
    static constexpr int BACKUPLEVELS = 10;

    APPLNPROJECT();
    virtual ~APPLNPROJECT(); // deletes the frames of both stacks
    APPLNPROJECT(const APPLNPROJECT&) = delete;
    APPLNPROJECT& operator=(const APPLNPROJECT&) = delete;

    // The last level of the path name; both "" until a path is set.
    virtual const char* filename();
    virtual const char* pathname();
    virtual const char* getcwd();
    virtual int isuntitled() { return 0; }
    virtual int isreadonly() { return readonly; }
    // The property as Unicode from its UTF-8 text: 1, or 0 with an empty value when absent.
    virtual int getproperty(const char* name, QString& value);
    // The text of the property; null when absent (always in this base).
    virtual const char* getproperty(const char* name) { return nullptr; }
    // Stores the UTF-8 form; an empty value removes the property.
    virtual void setproperty(const char* name, const QString& value);
    // Stores text; null removes the property (nothing is kept in this base).
    virtual void setproperty(const char* name, const char* text) { }
    virtual int getscript(const char* name, QString& value);
    virtual const char* getscript(const char* name) { return nullptr; }
    virtual void setscript(const char* name, const QString& value);
    virtual void setscript(const char* name, const char* text) { }
    // Stores the flag; setting it tells onmodified which document changed (null: the project).
    virtual void setdirty(APPLNDOCUMENT* document, int flag);
    virtual void setdirty(int flag) { setdirty(nullptr, flag); }
    virtual void onmodified(APPLNDOCUMENT* document) { }
    // A frame was undone or redone: the project counts as changed.
    virtual void onrestore(UNDOFRAME* frame) { setdirty(1); }
    virtual int isdirty() { return dirty; }

    // The frame being built for mode: the newest of the redo stack for UNDO_UNDOING, of the undo
    // stack otherwise; null when that stack is empty.
    virtual UNDOFRAME* getundoframe(UNDOMODES mode);
    // Takes frame over: onto the redo stack for UNDO_UNDOING, onto the undo stack otherwise.
    virtual void addundoframe(UNDOMODES mode, UNDOFRAME* frame);
    // Commits the frame being built. 0 when there is none, the project is locked, the frame's own
    // commit fails, or mode is not UNDO_EDIT; UNDO_REDOING deletes a frame that holds nothing.
    // An edit ends the redo history and drops the oldest frames beyond the undo levels.
    virtual int commit(UNDOMODES mode);
    // Whether there is a frame to undo (UNDO_UNDOING) or to redo (any other mode).
    virtual int canundo(UNDOMODES mode);
    // Undoes (UNDO_UNDOING) or redoes (any other mode) the newest frame and deletes it. An empty
    // stack reports error 0xE00C and gives 0; a frame that fails to restore stays, result 0.
    virtual int restore(UNDOMODES mode);
    virtual void resetundostacks();

    int getmaxundolevels() const { return maxundolevels; }
    void setmaxundolevels(int levels) { maxundolevels = levels; }
    int getbackuplevels() const { return backuplevels; }
    void setbackuplevels(int levels) { backuplevels = levels; }
    // The folder for backups, created when missing; null below 2 backup levels.
    const char* getbackupfolder();
    void setbackupfolder(const char* folder);

    int locked = 0; // while non-zero, commit refuses

protected:
    char path[517] = "";
    char cwd[517] = "";
    int dirty = 0;
    int readonly = 0;

private:
    static void empty(DLIST_BASE& stack);
    // Where frames of mode are built, and where the frames that mode restores are taken from.
    DLIST_BASE& buildstack(UNDOMODES mode) { return mode == UNDO_UNDOING ? redostack : undostack; }
    DLIST_BASE& restorestack(UNDOMODES mode) { return mode == UNDO_UNDOING ? undostack : redostack; }

    int maxundolevels = MAXUNDOLEVELS;
    int backuplevels = BACKUPLEVELS;
    char backupfolder[517] = "Project Backups";
    DLIST_BASE undostack; // oldest at the head
    DLIST_BASE redostack;
};
