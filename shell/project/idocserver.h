#pragma once

// The document server of a design module (interface 3 of the module): how the project creates,
// loads, saves and lets go of the one document the module keeps for it. Entry names are those of
// the project file ("ROOT.DSN", a board's layout entry, "PANEL.LYT", ...).

#include "framework/context/interfaces.h"

class APPLNARCHIVE;
class APPLNDOCUMENT;
class UNDOFRAME;

class IDOCSERVER : public IMODULE {
public:
    // queryinterface: 0 the module, 7 its netlist server, 11 the firmware builder; null when none.
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

// The firmware module's builder (interface 11 of its document server).
class IFIRMWAREBUILDER : public IMODULE {
public:
    // Non-zero when the firmware was built.
    virtual int build() = 0;
    // Non-zero when the firmware project is drawn as a flowchart.
    virtual int hasflowchart() = 0;

protected:
    ~IFIRMWAREBUILDER() = default;
};

// The module interface ids the project asks for.
constexpr unsigned IID_DOCSERVER = 3;
constexpr unsigned IID_NETSERVER = 7;
constexpr unsigned IID_FIRMWAREBUILDER = 11;
