#pragma once

// The base of a graphical editor module: one object is at once the module and its primary window,
// an editing view whose device the window set-up makes. A deriving editor constructs it with its
// document, its edit status and its table of edit commands, and implements the pure operations.
//
// A command runs through docommand: the pre-command step (the view's cursor hidden), the command
// (the table's row for its low 12 bits: the document's state checked against the row's flags,
// the handler run inside an undo frame of the project when the row asks for one), a refresh of
// what the command marked as changed (the two change boxes of the edit status; nothing when both
// are void), the post-command step, the document marked dirty when the command changed it, and
// the status bar's message reset. A handler that runs another command nests: the nested command
// runs alone, without those steps, frame or refresh.

#include <memory>
#include <string>
#include <vector>

#include "framework/appln/applnmodule.h"
#include "framework/appln/applnvars.h"
#include "framework/editor/editstatus.h"
#include "framework/views/applnviewdvc.h"
#include "framework/views/applnviewwin.h"
#include "platform/ombrel/gslist.h"

class APPLNDOCUMENT;
class COORDBOX;
class MODEBAR;
class ORNTBAR;

// The texts the coordinate box shows for a cursor point: x and y, or (polar) angle and distance,
// with the distance from a false origin as a third field.
struct EDITORCOORDS {
    int labels = 1; // x and y; 0 for angle and distance
    char first[32] = "";
    char second[32] = "";
    char third[32] = ""; // empty: not shown
    const char* units = "";
    COLORREF firstcolour = 0;
    COLORREF secondcolour = 0;
};

// An object under the pointer whose highlight rises and fades, strength 0 to 1000.
struct HIGHLIGHTOBJECT {
    APPLNOBJECT* object = nullptr;
    DRAGHANDLE* handle = nullptr;
    POINT point;
    int flag = 0;
    int strength = 0;
};

// How many steps autopan takes to cross the view for the "AP Distance" setting.
int autopandivisor(int distance);

// Commands the editor base takes itself.
constexpr unsigned short EDITCMD_MODE = 0x170; // the edit mode is (re)established
constexpr unsigned short EDITCMD_TEXT = 0x176; // the text handed over by WM_EDITORTEXT
constexpr unsigned short EDITCMD_SELECTOR = 0x179; // the object selector's choice changed
constexpr unsigned short EDITCMD_LEFTCLICK = 0x17A; // on the current context object
constexpr unsigned short EDITCMD_RIGHTCLICK = 0x17B;
constexpr unsigned short EDITCMD_UNDO = 0x150;
constexpr unsigned short EDITCMD_REDRAW = 0x140; // the views drawn anew, the tags cleared
constexpr unsigned short EDITCMD_SNAP = 0x146; // the snap choice (its index in bits 12-15)
constexpr unsigned short EDITCMD_GRID = 0x147; // none, dots, lines in turn
constexpr unsigned short EDITCMD_ZOOMCENTRE = 0x148; // the view centred on a point
constexpr unsigned short EDITCMD_ZOOMIN = 0x149;
constexpr unsigned short EDITCMD_ZOOMOUT = 0x14A;
constexpr unsigned short EDITCMD_ZOOMALL = 0x14B; // the whole drawing
constexpr unsigned short EDITCMD_ZOOMAREA = 0x14C; // a box the user drags
constexpr unsigned short EDITCMD_TOOLBOXFIRST = 0x120; // the toolbox's commands for the selector
constexpr unsigned short EDITCMD_TOOLBOXLAST = 0x12F;

class APPLNEDITOR : public APPLNMODULE, public APPLNVIEWWIN {
public:
    // commands: the deriving editor's table (not owned, never copied), ended by a row of id 0.
    APPLNEDITOR(APPLNPROCESS* process, APPLNDOCUMENT& document, APPLNEDITSTATUS& status, const EDITCOMMAND* commands);
    ~APPLNEDITOR() override;

    // Hooks the deriving editor calls itself; 0 in the base.
    virtual int onpickbutton(int button) { return 0; }
    virtual int onpreview() { return 0; }
    // The object selector's choice changed; nothing in the base.
    virtual void onselchange() { }
    // The table's row for the id's low 12 bits (the last such row): refused with oncmderror when
    // the project is read-only or the document locked and the row says so, else run. 1 when the
    // table has a row, 0 when not (the caller tries elsewhere).
    virtual int onmenucmd(unsigned short id);
    // A click on the current context object (EDITCMD_LEFTCLICK, EDITCMD_RIGHTCLICK), with the
    // module's input handler attached to the main view; 0 in the base.
    virtual int oneditcmd(unsigned short id) { return 0; }
    // Tells the user why a command was refused.
    virtual void oncmderror(CMDERRORS code);
    // Run first by each pump of the module's messages: the edit mode once the window is made.
    virtual void editor_preamble();
    // Before a command: the view's cursor hidden.
    virtual void editor_precommand();
    virtual void editor_postcommand() { }
    // Every command the base does not take, and every nested one: onmenucmd in the base.
    virtual int editor_docommand(unsigned short id) { return onmenucmd(id); }
    virtual int editor_getuistate(unsigned short id, UISTATE* state) { return 0; }
    // The mode protocol: the handlers cleared, then editor_submode sets them for the mode.
    virtual int editor_mode();
    // The deriving editor reads its mode and sets the object selector's handlers; 0 in the base.
    virtual int editor_submode() { return 0; }
    // Redraws what the running command changed (the change boxes) on the main view.
    virtual int editor_refresh();
    // Undo (EDITCMD_UNDO running) or redo through the project; 0 without a project.
    virtual int edit_undo();
    // The libraries the editor works from: opened at the end of system_init, closed first in
    // system_term; a library of the kind changed in another window.
    virtual void openlibraries() = 0;
    virtual void closelibraries() = 0;
    virtual void refreshlibrary(int kind) = 0;
    // The views' geometry (in editorgeometry.cpp). Handlers a deriving editor's table may name:
    // the output area and output origin the user picks, the views drawn anew (the tags cleared
    // for EDITCMD_REDRAW and EDITCMD_UNDO), drawn mirrored after the flip flag changed, the grid
    // kind in turn, the grid origin (the output origin, or a false origin where the pointer is or
    // the user picks), the snap or units changed, and the zoom commands.
    virtual int op_setarea();
    virtual int op_setorigin();
    virtual int view_redraw();
    virtual int view_flip();
    virtual int view_grid();
    virtual int view_origin();
    virtual int view_snap();
    virtual int view_metric() { return view_snap(); }
    virtual int view_zoom();
    // The view area in the window's client pixels.
    virtual void calcsizes();
    // Pixels per inch, clamped to the scale limits, about the centre (pulled in so that the view
    // stays inside the world's limits); or fitting the area (void: the whole drawing).
    virtual void setscale(POINT centre, int scale, int redraw);
    virtual void setscale(BOX area, int redraw);
    // The overview fitted to the drawing with an inch to spare.
    virtual void setoverview();
    // The grid origin, the snap of the snap choice and the grid spacings drawn for it; with
    // redraw, what changed repainted.
    virtual void setgrid(POINT origin, int redraw);
    // The whole view repainted.
    virtual void redraw(APPLNVIEWDVC* device, DRAWMODES mode);
    // Repaints what the running command changed (the deriving editor's update and the change
    // boxes), moves the handles to the next context object, and with commit ends its undo frame.
    virtual void refresh(int commit);
    // Paints an area of a view: with full, grid, sheet border, origin marks and output area first.
    virtual void draw_area(BOX area, int full, APPLNVIEWDVC* device);
    virtual void draw_grid(POINT origin, int major, int minor, APPLNVIEWDVC* device, DRAWMODES mode);
    // The drawing's objects in the area: DRAW_VIEW on the main view, DRAW_OVERVIEW on the overview.
    virtual void drawcontent(BOX area, int full, APPLNVIEWDVC* device, int mode) = 0;
    // Empties the tag set and clears the current context object.
    virtual void cleartags();
    // An object moved from old to now: the tag set updated; a tag set left without an area stops
    // being the current context object.
    virtual void update(BOX& old, BOX& now);
    // Undo-frame control of the project: a row's undo mode (0-15) opens a frame before a handler
    // of an EDITCMDF_UNDO row; 3 (the handler succeeded) or 4 (it failed) ends every command that
    // is not nested.
    virtual void undoframectl(int mode) = 0;
    APPLNEDITSTATUS& geteditstatus() { return status; }
    // Appends the toolbox's command context.
    virtual void gettoolboxcontexts(int mode, GSLIST<unsigned short>& contexts);
    virtual void modifytoolboxmenu(HMENU menu) { }
    // Whether a key may run the command now; 1 in the base.
    virtual int iscommandvalid(unsigned short id) { return 1; }
    // The key's command in the first context that binds it (only the input loops' while a handler
    // runs; else the orientation bar's during a preview, the mode bar's, the window's, the
    // frame's), dispatched to that context's window when the command is valid now.
    using APPLNMODULE::onwantkey;
    int onwantkey(unsigned long key, MSG* message) override;
    // The coordinate box's texts for the cursor point, relative to the grid origin.
    void getcoordtexts(POINT cursor, int mainview, EDITORCOORDS& texts);
    // The highlight animation (translucent drawing: double buffering here): the object joins the
    // list at strength 0, or has its handle, point and flag updated; each tick raises the object
    // under the pointer and lowers the others, removing those that faded out.
    void addhighlightobject(APPLNOBJECT* object, DRAGHANDLE* handle, POINT point, int flag);
    void agehighlightobjects();
    void drawhighlightobjects(APPLNVIEWDVC* device, HCURSORMODES mode);
    virtual void drawhobject(APPLNVIEWDVC* device, HCURSORMODES mode, HIGHLIGHTOBJECT& entry);
    const std::vector<HIGHLIGHTOBJECT>& gethighlights() const { return highlights; }
    void clearhighlights() { highlights.clear(); }
    // The animation's timer (11 on the window); a test may tick it itself.
    virtual void starthighlighttimer(unsigned milliseconds);
    virtual void stophighlighttimer();
    // Graphics modes (editorgraphics.cpp): 2 OpenGL, 3 the other accelerated mode, 1 double
    // buffering, 0 plain drawing. The modes the view offers as bits (bit 4: multisampling).
    int getcurrentgraphicsmode();
    int getsupportedgraphicsmodes();
    // The mode of the settings, else the application's default, else (the first run) the best the
    // view offers, kept as the default; applied to the main view. The deriving editor calls it
    // once it has made the view.
    void choosegraphicsmode();
    // The user's choice: applied, told, and kept as the application's default.
    void setgraphicsmode(int mode);

    // The module.
    using APPLNMODULE::getprimarywindow;
    void system_init() override;
    void system_term() override;
    // The editor's own window, made in the frame on first demand.
    APPLNWINDOW* getprimarywindow(APPLNFRAME* frame, unsigned id) override;
    // The preamble, the idle step with the view's cursor shown, then one message.
    int pumpmessages(APPLNWINDOW* window, int wait) override;
    MODULECONTEXT* getapplncontext() override { return APPLNMODULE::getapplncontext(); }
    CMDINFOTABLE* getcmdinfotable() override { return APPLNMODULE::getcmdinfotable(); }
    KEYTRANSLATOR* getkeytranslator() override { return APPLNMODULE::getkeytranslator(); }
    const char* getregistrykey() override { return APPLNMODULE::getregistrykey(); }
    int docommand(unsigned short id) override;
    // editor_getuistate with the module's context current.
    int getuistate(unsigned short id, UISTATE* state) override;

    // The window.
    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    APPLNEDITOR* getapplneditor() override { return this; }
    void oninitmenu() override { }

    // The views.
    using APPLNWINDOW::onrepaint;
    void onrepaint(APPLNVIEWDVC* device, BOX& area) override;
    // The wheel zooms the main view or the overview: out towards the user, else in.
    int onmousewheel(APPLNVIEWDVC* device, int delta, unsigned keys) override;
    void zoomarea(BOX& area) override;
    void pan(POINT centre, int movecursor) override;
    // The view's pointer and cursor: where they are kept and the coordinates shown.
    int onsetcursor(APPLNVIEWDVC* device, POINT raw, POINT cursor, int focus) override;
    // A step of the view towards the edge the pointer reached, kept near the drawing.
    void autopan(APPLNVIEWDVC* device, int dx, int dy) override;
    // Relative to the grid origin, in thou or (metric) millimetres.
    void fmtcoord(POINT point, char* x, char* y, const char** units) override;
    void fmtdimension(long value, char* text, const char** units) override;

    APPLNDOCUMENT& getdocument() { return document; }
    APPLNVIEWDVC* getmaindevice() const { return maindevice.get(); }
    APPLNVIEWDVC* getoverviewdevice() const { return overviewdevice.get(); }
    const BOX& getviewarea() const { return viewarea; }
    // The folders found at system_init: where the program started, the module's folder's parent,
    // the module's folder, and the module file.
    const char* getstartpath() const { return startpath; }
    const char* getparentpath() const { return parentpath; }
    const char* getmodulepath() const { return modulepath; }
    const char* getmodulefile() const { return modulefile; }
    const char* gethandedtext() const { return handedtext; }

protected:
    // The handlers editor_submode sets for a mode: the overview's preview of what the mode places,
    // and the toolbox's commands for the mode's object selector.
    EDITHANDLER previewhandler = nullptr;
    EDITHANDLER selectorhandler = nullptr;
    std::unique_ptr<APPLNVIEWDVC> maindevice; // made by the window's set-up
    std::unique_ptr<APPLNVIEWDVC> overviewdevice; // none without a toolbox
    BOX viewarea; // the main view's place in the window's client pixels
    // The snap choices in world units (the deriving editor's), the smallest grid spacing drawn in
    // pixels, the grid's colour and its opacity as lines over a black and over a white background.
    int gridimperial[4] = {};
    int gridmetric[4] = {};
    int gridthreshold = 8;
    COLORREF gridcolour = 0xC0C0C0;
    unsigned char gridalphablack = 0x60;
    unsigned char gridalphawhite = 0x20;
    std::string webaddress; // offered by WM_OFFERWEBADDRESS; the deriving editor's to fill
    // The highlight animation's interval (ms), rise and fall per tick (thousandths); autopan's
    // trigger distance (pixels), steps and step time (ms).
    int graphicsmode = -1; // 0-3; -1 not chosen yet
    int multisampling = 0;
    int hainterval = 100;
    int haattack = 500;
    int harelease = 150;
    int apdistance = 4;
    int apsteps = 3;
    int aptime = 100;
    // The editor's settings, which the deriving module loads and saves with its own.
    APPLNVARS settings;
    // The window's bars, where the deriving editor made them; not owned.
    COORDBOX* coordbox = nullptr;
    MODEBAR* modebar = nullptr;
    ORNTBAR* orntbar = nullptr;

private:
    // The mode on the main view, double buffering standing in for what the view lacks.
    void applygraphicsmode(int mode);
    // Runs the row's handler inside its undo frame (alone when nested).
    void runrow(const EDITCOMMAND& row);
    // The point the user clicks, or the box the user drags, after the hint; the zero point when
    // the click is cancelled, 0 when the box is.
    POINT pickpoint(unsigned hint);
    int pickbox(unsigned hint, BOX& box);
    // The snap choices' menu items labelled with their values and keys.
    void labelsnaps(const int* snaps);
    void repaint(APPLNVIEWDVC* device, BOX old, BOX now, bool full);

    APPLNDOCUMENT& document; // not owned
    APPLNEDITSTATUS& status; // the deriving module's
    const EDITCOMMAND* commands; // not owned
    char startpath[261] = "";
    char parentpath[261] = "";
    char modulepath[261] = "";
    char modulefile[517] = "";
    char handedtext[517] = "";
    std::vector<HIGHLIGHTOBJECT> highlights;
};
