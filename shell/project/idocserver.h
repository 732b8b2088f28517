#pragma once

// The document server of a design module (interface 3 of the module): how the project creates,
// loads, saves and lets go of the one document the module keeps for it. Entry names are those of
// the project file ("ROOT.DSN", a board's layout entry, "PANEL.LYT", ...).

#include "framework/context/interfaces.h"

class APPLNARCHIVE;
class APPLNDOCUMENT;
class CDBCORE;
class UNDOFRAME;
struct SNIPPET;

class IDOCSERVER : public IMODULE {
public:
    // queryinterface: 0 the module, 7 its netlist server, 11 the firmware builder, 31 the clip
    // interface; null when none.
    // The module's document, which the project attaches itself to.
    virtual APPLNDOCUMENT* getdocument() = 0;
    // A new empty document under the entry name.
    virtual void newdocument(const char* entry) = 0;
    // Non-zero when the document was read from the entry of the archive.
    virtual int loaddocument(const char* entry, APPLNARCHIVE& archive) = 0;
    // 1 when the older design or layout file at path (a Windows path) became the document, else 0.
    virtual int importfile(const char* path) = 0;
    // Non-zero when the document went into the entry of the archive whole.
    virtual int savedocument(const char* entry, APPLNARCHIVE& archive) = 0;
    // The project lets the document go.
    virtual void closedocument() = 0;
    // A document of the project was modified (the module's own among them).
    virtual void onmodified(APPLNDOCUMENT* document) = 0;
    // An undo frame was restored.
    virtual void onrestore(UNDOFRAME* frame) = 0;

protected:
    ~IDOCSERVER() = default;
};

// The clip interface of the design's and the layout's document servers (their interface 31): the
// module's part of a project clip.
class ICLIPSERVER : public IMODULE {
public:
    // The module's selection becomes the clip's content; non-zero when there is any.
    virtual int selectclip(CDBCORE& cdb, SNIPPET* clip) = 0;
    // Non-zero when the clip's part was read from the entry of the archive.
    virtual int loadclip(const char* entry, APPLNARCHIVE& archive, SNIPPET* clip) = 0;
    // Non-zero when the clip's part went into the entry whole.
    virtual int saveclip(const char* entry, APPLNARCHIVE& archive, SNIPPET* clip) = 0;
    // Places the clip on the current sheet (flag 1: placed for the firmware); non-zero when placed.
    virtual int placeclip(SNIPPET* clip, CDBCORE& cdb, int flag) = 0;
    // Deletes what the module holds of the clip; non-zero when it held any.
    virtual int deleteclip(SNIPPET* clip, CDBCORE& cdb) = 0;

protected:
    ~ICLIPSERVER() = default;
};

// The firmware module's builder (interface 11 of its document server).
class IFIRMWAREBUILDER : public IMODULE {
public:
    // Non-zero when the firmware was built.
    virtual int build() = 0;
    // Non-zero when the firmware project is drawn as a flowchart.
    virtual int hasflowchart() = 0;
    // The clip's peripheral descriptor (its XML) into the clip's descriptor file: on export the one
    // the clip would have as a peripheral block, on import the one the clip file holds; non-zero
    // when there is one.
    virtual int peripheral(const char* file, SNIPPET* clip) = 0;
    // Stores (export) or installs (import) the clip's bound descriptor.
    virtual void installperipheral(SNIPPET* clip) = 0;

protected:
    ~IFIRMWAREBUILDER() = default;
};

// The module interface ids the project asks for.
constexpr unsigned IID_DOCSERVER = 3;
constexpr unsigned IID_NETSERVER = 7;
constexpr unsigned IID_FIRMWAREBUILDER = 11;
constexpr unsigned IID_CLIPSERVER = 31;
