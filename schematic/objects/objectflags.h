#pragma once

// The flags word every schematic object carries, and the codes its hit test and its area answer
// with, which the editing, wiring and block operations compare.

#include <cstdint>

constexpr uint32_t OBJ_SIZEMASK = 0x03FF; // the object's own size in bytes
constexpr uint32_t OBJ_ROTATES = 0x0400; // may turn: only then does a transform's turn apply
constexpr uint32_t OBJ_TAGGED = 0x0800;
constexpr uint32_t OBJ_ERASE = 0x1000; // its recorded area must be drawn again
constexpr uint32_t OBJ_DRAW = 0x2000; // it must be drawn in its area
constexpr uint32_t OBJ_SAVING = 0x4000; // in the set being written, or just read
constexpr uint32_t OBJ_VISITED = 0x8000; // reached by the connectivity walk
constexpr uint32_t OBJ_CHANGED = OBJ_ERASE | OBJ_DRAW; // every change of the drawing sets both

// What a hit test found.
enum SCHTESTCODES : int {
    HIT_NONE = 0,
    HIT_AREA = 1, // inside the recorded area
    HIT_SCRIPTTEXT = 256,
    HIT_IMAGE = 257,
    HIT_SUBCIRCUIT = 258, // the box, or within the tolerance of its edge
    HIT_BODY = 259, // body or outline
    HIT_LOOSEPIN = 261, // its line, node or name
    HIT_LABEL = 262,
    HIT_CONNECTEDPIN = 263,
    HIT_FREEPIN = 264,
    HIT_FREEBUSPIN = 265, // a wire started here is a bus
    HIT_FREEBUSDOTPIN = 266,
    HIT_WIRE = 267,
    HIT_MODULEMARKER = 268, // of a component whose module label is in use
};

// Which area an object answers.
enum SCHAREACODES : int {
    AREA_ALL = 0, // body, labels and property text
    AREA_BODY = 1, // without labels
    AREA_CONNECTIONS = 2, // the extent of its pins (a terminal: its position)
    AREA_BLOCK = 3, // what a block operation carries
};
