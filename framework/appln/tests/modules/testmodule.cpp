// A module for the process tests: it records each call the framework makes on it, with whether
// its own context was current, and offers interface 7.

#include <string>

#include "core/windows/registry.h"
#include "framework/appln/applnframe.h"
#include "framework/appln/applnprocess.h"
#include "framework/appln/tests/modulecalls.h"

namespace {

class TESTMODULE : public APPLNMODULE {
public:
    TESTMODULE(APPLNPROCESS* process, const char* args)
        : APPLNMODULE(process)
    {
        setapplnname(MODULENAME, "Test module " MODULENAME);
        setinterface(7, &seven);
        note(std::string("created with ") + (args ? args : "no arguments"));
    }
    ~TESTMODULE() override { note("destroyed"); }

    void system_init() override
    {
        APPLNMODULE::system_init();
        reg_putstr(nullptr, "Probe", MODULENAME);
        note("system_init");
    }
    void system_term() override
    {
        note("system_term");
        APPLNMODULE::system_term();
    }
    void loadconfig(int flag) override { note("loadconfig"); }
    void saveconfig() override { note("saveconfig"); }
    void onfirstrun(unsigned long newversion, unsigned long oldversion) override
    {
        note("onfirstrun " + std::to_string(newversion) + " " + std::to_string(oldversion));
    }
    int docommand(unsigned short id) override
    {
        note("docommand " + std::to_string(id));
        return id == 1;
    }
    using APPLNMODULE::getprimarywindow;

    // Makes its primary window in the frame on first demand.
    APPLNWINDOW* getprimarywindow(APPLNFRAME* frame) override
    {
        if (!primarywindow && frame) {
            window.setowner(this);
            if (window.createwindow(frame))
                primarywindow = &window;
        }
        return primarywindow;
    }
    int onidle() override
    {
        note("onidle");
        return APPLNMODULE::onidle();
    }

private:
    APPLNWINDOW window;
    struct SEVEN : IMODULE {
        virtual ~SEVEN() = default;
        IMODULE* queryinterface(unsigned) override { return nullptr; }
    } seven;

    void note(const std::string& call)
    {
        std::string text = std::string(MODULENAME) + ": " + call;
        if (getapplnmodule() == this)
            text += " (own context)";
        recordmodulecall(text.c_str());
    }
};

} // namespace

extern "C" APPLNMODULE* createmoduleinstance(APPLNPROCESS* process, const char* args)
{
    return new TESTMODULE(process, args);
}

#ifndef WITHOUTDELETE
extern "C" void deletemoduleinstance(APPLNMODULE* module)
{
    delete module;
}
#endif
