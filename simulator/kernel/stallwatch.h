#pragma once

#include <cstdint>

// The watch on a run that stops making progress: a model that loops for ever, an engine step that
// never returns. While it watches, a timer looks at the thread it was started on a few times a
// second; once the run has made no progress for the limit, the timer's signal handler calls
// `onstall` on that thread with the instruction it interrupted, and the owner jumps out of the run
// from there. Not while the thread runs inside the system's libraries (faults.h), where a jump
// could leave one of their locks held, unless the run has been stuck for twice the limit.
//
// Progress is every data point the engines give, and the time the host takes to answer a message
// (its user may keep it waiting).

// Counts a step of progress; cheap enough for every data point.
void noteprogress();

// While one lives, the run waits for the host: the time counts as progress.
struct HOSTWAIT {
    HOSTWAIT();
    ~HOSTWAIT();
    HOSTWAIT(const HOSTWAIT&) = delete;
    HOSTWAIT& operator=(const HOSTWAIT&) = delete;
};

// Watches the calling thread: `seconds` without progress call onstall, and again each time the
// same span passes without progress after it (0: no watch). Nothing when a watch is running.
void startstallwatch(uint32_t seconds, void (*onstall)(uintptr_t where));
// Ends the watch and puts the host's handling of the watch's signal back; nothing without a watch.
void stopstallwatch();
