#pragma once

// One step of the undo history. Every editing module records its changes as frames of its own
// kind on the project (APPLNPROJECT), so that undo and redo run across all documents in one
// order; the project owns the frames on its stacks and deletes them.

#include "core/containers/dlist.h"

class APPLNMODULE;

// Undo modes as the project tells them apart; the editing modules give other values meanings of
// their own (which frame to begin), which the project passes on untouched.
using UNDOMODES = int;
constexpr UNDOMODES UNDO_EDIT = 3; // an ordinary edit: committing it ends the redo history
constexpr UNDOMODES UNDO_REDOING = 4; // recorded while redoing: dropped when it holds nothing
constexpr UNDOMODES UNDO_UNDOING = 5; // recorded while undoing: kept on the redo stack

class UNDOFRAME : public DLINK_BASE {
public:
    virtual ~UNDOFRAME() = default;
    // Non-zero when the frame was recorded by owner.
    virtual int isowner(APPLNMODULE* owner) = 0;
    // Non-zero when the frame holds a recorded change.
    virtual int iscommitted() = 0;
    // Non-zero on success.
    virtual int commit(UNDOMODES mode) = 0;
    virtual int restore(UNDOMODES mode) = 0;

    UNDOFRAME* next() const { return static_cast<UNDOFRAME*>(DLINK_BASE::next); }
    UNDOFRAME* prev() const { return static_cast<UNDOFRAME*>(DLINK_BASE::prev); }
};
