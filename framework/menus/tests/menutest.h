#pragma once

// The module whose commands the menu tests show: it loads the tests' command and key tables,
// records the commands it is sent, greys one command, and has its bar (when given) update a popup
// before it opens.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/appln/applnmodule.h"
#include "framework/menus/menubar.h"
#include "platform/drelm/dialoglook.h"
#include "platform/win/modules.h"

namespace menutest {

// The dialog library's colours, pens and gradients, which the menus draw with, for the whole run.
struct DialogLook : testing::Environment {
    void SetUp() override { dlg_getcolours(); }
    void TearDown() override { dlg_term(); }
};

inline testing::Environment* const dialoglook = testing::AddGlobalTestEnvironment(new DialogLook);

class OWNER : public APPLNMODULE, public IMENUOWNER {
public:
    explicit OWNER(unsigned short greyed)
        : APPLNMODULE(nullptr)
        , greyed(greyed)
    {
        pushcontext();
        cmdtable.load("TESTCONTEXTS", GetModuleHandleA(nullptr));
        keytranslator.rscload("TESTKEYS", GetModuleHandleA(nullptr));
    }
    ~OWNER() override { popcontext(); }
    using APPLNMODULE::cmdtable;
    using APPLNMODULE::keytranslator;

    int docommand(unsigned short id) override
    {
        sent.push_back(id);
        return 1;
    }
    int getuistate(unsigned short id, UISTATE* state) override
    {
        if (id != greyed)
            return 0;
        state->enabled = 0;
        return 1;
    }
    void oninitmenu() override { }
    void oninitmenupopup(int index, HMENU popup) override
    {
        ++updates;
        if (bar)
            bar->init(popup);
    }

    unsigned short greyed;
    MENUBAR* bar = nullptr; // not owned
    std::vector<unsigned short> sent;
    int updates = 0;
};

} // namespace menutest
