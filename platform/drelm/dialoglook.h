#pragma once

// The dialog library's start and end, and the look that forms and the framework's bars, menus and
// tab strip share: colours, brushes, pens and fonts derived from the system colours, and the
// gradient fills drawn with them. dlg_getcolours derives them again after a system colour change.
// Callers: the process's system_init and system_term, the frame's WM_SYSCOLORCHANGE and WM_PAINT,
// menus, rebars and sizing bars, toolbars, the status bar, tab strip and Qt host (framework).

#include "platform/win/colour.h"
#include "platform/win/geometry.h"
#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"

class ITRANSLATE;

// Starts the library: its window classes, the colours, and the global and button fonts as copies
// of `font` (null: the system's default dialog font). `library` is the module whose forms serve
// every module that has no form of that name itself (the framework's). Calling it again renews the
// fonts and colours. Puts the library's message box in the place of the window layer's own
// (MessageBoxA); a box that a caller installed stays.
void dlg_init(HFONT font, HINSTANCE library = nullptr);
// The translator of form texts when the current module's form factory has none (not owned;
// null: texts stay as written).
void dlg_setlocale(ITRANSLATE* translator);
// Ends the library: closes its open forms, releases the colours' objects and fonts, unregisters
// its window classes and gives message boxes back to the window layer when they are still the
// library's.
void dlg_term();
// Derives every colour, brush and pen below from the current system colours.
void dlg_getcolours();

// The dialog background, its brush and the face colour of dialog controls.
extern COLORREF dlg_bkcolour;
extern HBRUSH dlg_bkbrush;
extern COLORREF dlg_facecolour;
// The light and dark edges of raised and sunken frames, and 1-pixel pens of them.
extern COLORREF dlg_hihicolour;
extern COLORREF dlg_locolour;
extern HPEN dlg_hihilitepen;
extern HPEN dlg_lolitepen;
// Border tone of the face gradient (kind 0), the two ends of the background gradient (kind 4),
// and the border tone of the greyed gradient (kind 3).
extern COLORREF grad_4colour;
extern COLORREF gradb_1colour;
extern COLORREF gradb_4colour;
extern COLORREF gradd_4colour;
// Toolbar buttons: the outline of a checked button; the vertical gradients and outlines of a hot
// (under the pointer) and an active (pressed) button.
extern COLORREF tb_checkedborder_colour;
extern COLORREF tb_hotgrad1_colour;
extern COLORREF tb_hotgrad2_colour;
extern COLORREF tb_hotborder_colour;
extern COLORREF tb_activegrad1_colour;
extern COLORREF tb_activegrad2_colour;
extern COLORREF tb_activeborder_colour;
// The font of dialog texts and lists, and the font of buttons and bars; null before dlg_init.
extern HFONT dlg_globalfont;
extern HFONT dlg_buttonfont;

// The gradient fills, by kind:
//   0  the face of bands, menu image columns and checked buttons: top to bottom
//   3  the face of greyed selections: top to bottom
//   4  the background of frames, rebars and the tab strip: left to right, gradb_1colour to
//      gradb_4colour
// `a` 1 picks the highlighted (selected) variant of the kind, `b` 1 the pressed variant, whose
// colours run the other way. Fills the rectangle of the window's or memory device context;
// FALSE for another kind, an empty rectangle or a context that cannot draw a gradient.
BOOL GradientFillRect(HDC dc, const RECT* rect, int kind, int a, int b);
// The same gradient as a Qt style-sheet expression ("qlineargradient(...)") in the buffer (cut to
// size - 1 characters); answers the length written, 0 for another kind.
int GradientFillRect(char* buffer, int size, int kind, int a, int b);
// The two end colours of a gradient and whether it runs top to bottom; FALSE for another kind.
BOOL GradientColours(int kind, int a, int b, COLORREF* from, COLORREF* to, BOOL* vertical);

// Draws a one-pixel 3D frame just inside the rectangle: style 'b' a sunken frame (dark top and left
// edges, light bottom and right). FALSE for another style.
BOOL draw3Drect(HDC dc, const RECT* rect, char style);
