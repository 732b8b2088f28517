#pragma once

// TAVI's application object: the schematic editor module. One object is the module, its editor
// window with the editing view of the current sheet, and the servers other modules ask for by id
// (queryinterface). The design it edits is the module's one DESIGN (design/design.h).
//
// What it asks of other modules is asked once and may be missing: without the simulation host
// (ZMVDEBUG) nothing simulates and no command waits for a simulation.

#include "framework/appln/applnvars.h"
#include "framework/editor/applneditor.h"
#include "platform/kelmar/proptool.h"
#include "schematic/app/taviinterfaces.h"

// The snap choices in sheet units (2,540,000 to the inch): the 10th, 50th, 100th and 500th grid.
constexpr int TAVISNAPS[4] = { 25400, 127000, 254000, 1270000 };

// The module's sections of the registry.
constexpr const char* TAVISETTINGS = "Settings";

// Held before the editor base, which is handed it at construction.
struct TAVISTATE {
    APPLNEDITSTATUS editstatus;
};

class TAVIAPP : private TAVISTATE,
                public APPLNEDITOR,
                public APPLNVARS,
                public IDOCSERVER,
                public IWIZARDPAGES,
                public INETSERVER,
                public IDEBUGHOST,
                public IDEBUGTARGET,
                public IADISERVER,
                public ILEGACYINFO,
                public ICLIPSERVER,
                public IITEMRENDERER,
                public IREPORTGENERATOR {
public:
    explicit TAVIAPP(APPLNPROCESS* process);
    ~TAVIAPP() override;

    // The module itself (0), its servers by id, the base's slots for every other id.
    IMODULE* queryinterface(unsigned id) override;

    // The module's preferences, registered once and read from the registry unless flag is set;
    // then a new design.
    void loadconfig(int flag) override;
    void saveconfig() override;
    // Back to an empty design with the built-in styles, the view on its sheet.
    void resetdocument();

    // The editor's window: the menus, the tool bars and the view of the sheet.
    void oncreatewindow() override;
    void ondestroywindow() override;
    void onresize(int width, int height) override;
    void drawcontent(BOX area, int full, APPLNVIEWDVC* device, int mode) override;
    COLORREF getcolour(int index) override;
    void openlibraries() override;
    void closelibraries() override;
    void refreshlibrary(int kind) override;
    // Undo frames come with the design's frames; none yet.
    void undoframectl(int mode) override { }

    // The document server (id 3).
    APPLNDOCUMENT* getdocument() override;
    void newdocument(const char* entry) override;
    // The design file is not read or written yet: loading, importing and saving fail.
    int loaddocument(const char* entry, APPLNARCHIVE& archive) override { return 0; }
    int importfile(const char* path) override { return 0; }
    int savedocument(const char* entry, APPLNARCHIVE& archive) override { return 0; }
    void closedocument() override;
    void onmodified(APPLNDOCUMENT* document) override { }
    void onrestore(UNDOFRAME* frame) override { }

    // The clip server (id 31): the sheet's objects do not go into project clips yet; no clip holds
    // any of them.
    int selectclip(CDBCORE& cdb, SNIPPET* clip) override { return 0; }
    int loadclip(const char* entry, APPLNARCHIVE& archive, SNIPPET* clip) override { return 0; }
    int saveclip(const char* entry, APPLNARCHIVE& archive, SNIPPET* clip) override { return 0; }
    int placeclip(SNIPPET* clip, CDBCORE& cdb, int flag) override { return 0; }
    int deleteclip(SNIPPET* clip, CDBCORE& cdb) override { return 0; }

    // What the tests and the module's own parts read.
    int getsnap(int i) const { return gridimperial[i & 3]; }
    IMODULE* getdebughost() const { return debughost; }
    int getrds() const { return rds; }
    int getautorouter() const { return autorouter; }

private:
    static const EDITCOMMAND commands[];

    // The snap choice of the command's argument.
    int view_setsnap();

    PROPTOOL proptool; // reset when the editing mode changes
    IMODULE* autodraw = nullptr; // the automatic drawing object; none yet
    int autorouter = 1; // wires are routed as they are placed ("Wire Autorouter" checked)
    int rds = 1; // the master sheet shows behind the other sheets
    IMODULE* debughost = nullptr; // the simulation host; null when it is not installed

    // The module's preferences.
    int autoresync = 0;
    int savecontext = 0;
    unsigned short tooltipdelay = 1000;
    int usedefaultpropdefs = 1;
    int plotterpenwidth = 25400;
    int plottercirclestep = 0;
    int32_t sheetsizes[12] = { 25400000, 17780000, 38100000, 25400000, 53340000, 38100000, 81280000, 53340000,
        111760000, 81280000, 17780000, 25400000 };
    int preferencesregistered = 0;
};
