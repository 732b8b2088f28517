#pragma once

// OCS, the output settings of an editor's printing and exports: every output form edits one and
// every output run hands it to the editor's drawing operation. Its map form (APPLNPRINT::storeOcs,
// extractOcs) lets a caller keep an export's settings between runs.
// Callers: the print mix-in, the print run, the exports and the output form (framework/output);
// the editors' drawing operations.

#include <cstdint>

#include "core/files/paths.h"
#include "platform/ombrel/box.h"

// scale choices
constexpr int OCS_SCALE_FULL = 0; // 1:1; 1 to 4: 2:3, 1:2, 1:3, 1:4
constexpr int OCS_SCALE_FIT = 5; // fit to page (printing only)

// scope choices and their bits in scope_emask
constexpr int OCS_SCOPE_AREA = 0;
constexpr int OCS_SCOPE_GRAPH = 1;
constexpr int OCS_SCOPE_SHEET = 2;
constexpr int OCS_SCOPE_ALLSHEETS = 3;

constexpr int OCS_LAYERS = 32;

struct OCS {
    int initialised; // 0 until the editor filled its first-time defaults
    BOX area; // the marked area (void: nothing marked), drawing units
    POINT origin;
    int dm; // drawing-mode code of the output
    int scale;
    int onlyshrink; // with fit to page: never enlarge
    int rot; // 1: X vertical (turned by 90 degrees)
    int mir;
    int colour_set;
    int colour_bpp; // 0 monochrome; 1 colour; the bitmap form: index of the depth table
    int invert; // the background XOR 0xFFFFFF
    int taggedonly;
    int scope;
    int scope_emask;
    int layers[OCS_LAYERS];
    uint32_t lset;
    uint32_t edge;
    char filename[PATHBUFFER];
    float xcomp; // compensation of the device along x (not a scale)
    float ycomp;
    int tofile;
    int qjplotter; // our own pen-plotter device instead of the printer's driver
    int separate;
    int preview; // 1 while drawn for the print form's page preview
    int dxfoption;
    double ocx; // centre of the printed output, printer pixels from the printable area's left edge
    double ocy; // and from its top edge
};
