#pragma once

#include "core/containers/dpa.h"

#include <cstddef>
#include <cstdint>

// The animation event of a real-time instrument or probe, as the host reads it from message 0x571
// (a DPA of pointers to these). 32 bytes, little-endian. Where the record refers to memory (the
// text of a kind-100 event, the arrays of a buffer event) it holds a 32-bit id, not an address:
// ids are handed out per tick by activedata, and the message's wParam is the tick's table of them
// (a DPA whose item id - 1 is the address; 0 is no address).
struct ACTIVEEVENT {
    uint32_t sheet;   // the part's SHEETID; 0xFFFFFFFF: the part posts no events
    uint32_t first;   // ACTIVE of an instrument, CALLBACK of a probe
    uint32_t second;  // ELEMENT of an instrument, 0 for a probe
    int32_t kind;     // one of the KIND_ values below
    union {
        double value; // a reading
        uint32_t words[2]; // a state or pattern in words[0]; buffers: the counts; text: its id
    };
    union {
        double extra; // a second value, where the instrument gives one
        uint32_t ids[2]; // buffers: the ids of the time points and of the samples
    };

    static constexpr int32_t KIND_VALUE = 0;
    static constexpr int32_t KIND_LOGICELEMENT = 1; // a logic probe's pin pattern, with ELEMENT
    static constexpr int32_t KIND_LOGIC = 2; // the same without ELEMENT
    static constexpr int32_t KIND_WIRESTATE = 3; // a digital wire's STATE
    static constexpr int32_t KIND_PINSTATE = 5; // a pin's net's STATE
    static constexpr int32_t KIND_WIREVALUES = 6; // an analog wire: voltage (value), current (extra)
    // The tick's samples: words[0] time points, words[1] channels; doubles of seconds and values.
    static constexpr int32_t KIND_BUFFER = 7;
    // As KIND_BUFFER, with 64-bit times in picoseconds and 32-bit STATE samples.
    static constexpr int32_t KIND_LOGICBUFFER = 8;
    static constexpr int32_t KIND_TEXT = 100;
};

static_assert(sizeof(ACTIVEEVENT) == 32);
static_assert(offsetof(ACTIVEEVENT, value) == 16 && offsetof(ACTIVEEVENT, ids) == 24);

// The id of memory an event of this tick refers to (a text, an array); 0 for null. Valid until the
// next tick begins; the memory must live as long.
uint32_t activedata(const void* address);
// The tick's table of addresses (message 0x571's wParam); emptied when a tick collects its events.
DPA& activedatatable();
// The address of an id in a tick's table; null for 0 or an id the table does not hold.
inline const void* activeaddress(const DPA* table, uint32_t id)
{
    return table && id >= 1 && id <= static_cast<uint32_t>(table->count) ? table->items[id - 1] : nullptr;
}
