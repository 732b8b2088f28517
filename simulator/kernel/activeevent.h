#pragma once

#include <cstddef>
#include <cstdint>

// The animation event of a real-time instrument or probe, as the host reads it from message 0x571
// (a DPA of pointers to these). 32 bytes, little-endian. On this 64-bit system the text of a
// kind-100 event is a full pointer in the 8 bytes at offset 16.
struct ACTIVEEVENT {
    uint32_t sheet;   // the part's SHEETID; 0xFFFFFFFF: the part posts no events
    uint32_t first;   // ACTIVE of an instrument, CALLBACK of a probe
    uint32_t second;  // ELEMENT of an instrument, 0 for a probe
    int32_t kind;     // KIND_VALUE, KIND_BUFFER or KIND_TEXT
    union {
        double value;        // kind 0
        uint32_t words[2];   // kind 7
        const char* text;    // kind 100
    };
    uint32_t word3;  // kind 7
    uint32_t word4;  // kind 7

    static constexpr int32_t KIND_VALUE = 0;
    static constexpr int32_t KIND_BUFFER = 7;
    static constexpr int32_t KIND_TEXT = 100;
};

static_assert(sizeof(ACTIVEEVENT) == 32);
static_assert(offsetof(ACTIVEEVENT, value) == 16 && offsetof(ACTIVEEVENT, word3) == 24);
