// The recording stand-in of the schematic module (recordingtavi.h).

#include <cstring>

#include "framework/appln/applnprocess.h"
#include "framework/documents/applnarchive.h"
#include "platform/win/files.h"
#include "shell/tests/modules/recordingtavi.h"

namespace {

class SERVER : public RECORDINGSERVER {
public:
    explicit SERVER(APPLNMODULE* owner)
        : module(owner)
    {
    }

    IMODULE* queryinterface(unsigned id) override { return id == 0 ? module->queryinterface(0) : nullptr; }
    APPLNDOCUMENT* getdocument() override { return &document; }
    void newdocument(const char* entry) override
    {
        calls.push_back(std::string("new ") + entry);
        document.text.clear();
    }
    int loaddocument(const char* entry, APPLNARCHIVE& archive) override
    {
        calls.push_back(std::string("load ") + entry);
        const char* text = archive.getfiletext(entry, nullptr);
        document.text = text ? text : "";
        return !failload && document.text != "UNLOADABLE";
    }
    int importfile(const char* path) override
    {
        calls.push_back(std::string("import ") + path);
        document.text = "imported";
        return failimport ? 0 : 1;
    }
    int savedocument(const char* entry, APPLNARCHIVE& archive) override
    {
        calls.push_back(std::string("save ") + entry);
        if (failsave)
            return 0;
        VFILE& file = archive.openfile(entry, nullptr);
        file.write(document.text.data(), static_cast<int>(document.text.size()));
        return archive.closefile(file, 0);
    }
    void closedocument() override
    {
        calls.push_back("close");
        document.setproject(nullptr);
    }
    void onmodified(APPLNDOCUMENT* changed) override
    {
        calls.push_back(changed == &document ? "modified design" : "modified other");
    }
    void onrestore(UNDOFRAME*) override { calls.push_back("restore"); }

private:
    APPLNMODULE* module;
};

class TAVI : public APPLNMODULE {
public:
    explicit TAVI(APPLNPROCESS* process)
        : APPLNMODULE(process)
        , server(this)
    {
        setapplnname("TAVI", "Schematic Capture");
        setinterface(IID_DOCSERVER, &server);
    }

    using APPLNMODULE::getprimarywindow;
    // The design's window, made in the frame on first demand.
    APPLNWINDOW* getprimarywindow(APPLNFRAME* frame) override
    {
        if (!primarywindow && frame) {
            window.setowner(this);
            if (window.createwindow(frame))
                primarywindow = &window;
        }
        return primarywindow;
    }

private:
    SERVER server;
    APPLNWINDOW window;
};

} // namespace

extern "C" APPLNMODULE* createmoduleinstance(APPLNPROCESS* process, const char*)
{
    return new TAVI(process);
}

extern "C" void deletemoduleinstance(APPLNMODULE* module)
{
    delete module;
}
