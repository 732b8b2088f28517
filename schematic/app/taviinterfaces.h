#pragma once

// The interfaces the schematic module serves to the main program and to other modules, by the ids
// its queryinterface answers (the document and clip servers, ids 3 and 31, are the project's:
// shell/project/idocserver.h). Each interface's queryinterface is the module's. Their operations join them with
// the work behind them; until then an interface only names the module.

#include "shell/project/idocserver.h"

constexpr unsigned IID_DEBUGHOST = 12; // what the simulation host asks of the editor
constexpr unsigned IID_DEBUGTARGET = 13; // what the simulation host drives on the sheet
constexpr unsigned IID_ADISERVER = 21; // ASCII data import
constexpr unsigned IID_LEGACYINFO = 30; // styles of older design files
constexpr unsigned IID_AUTODRAW = 32; // the automatic drawing object
constexpr unsigned IID_ITEMRENDERER = 38; // library items drawn from their packed form
constexpr unsigned IID_REPORTGENERATOR = 41; // report tables

// The simulation host's interface that the module asks for (module "ZMVDEBUG").
constexpr const char* SIMULATIONHOSTMODULE = "ZMVDEBUG";
constexpr unsigned IID_SIMULATIONHOST = 14;

// The new-project wizard's template page; no id answers it.
class IWIZARDPAGES : public IMODULE {
protected:
    ~IWIZARDPAGES() = default;
};

class INETSERVER : public IMODULE {
protected:
    ~INETSERVER() = default;
};

class IDEBUGHOST : public IMODULE {
protected:
    ~IDEBUGHOST() = default;
};

class IDEBUGTARGET : public IMODULE {
protected:
    ~IDEBUGTARGET() = default;
};

class IADISERVER : public IMODULE {
protected:
    ~IADISERVER() = default;
};

class ILEGACYINFO : public IMODULE {
protected:
    ~ILEGACYINFO() = default;
};

class IITEMRENDERER : public IMODULE {
protected:
    ~IITEMRENDERER() = default;
};

class IREPORTGENERATOR : public IMODULE {
protected:
    ~IREPORTGENERATOR() = default;
};
