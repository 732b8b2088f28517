// The recording stand-in of the schematic module (recordingtavi.h).

#include <QImage>
#include <cstring>
#include <sstream>

#include "framework/appln/applnprocess.h"
#include "framework/documents/applnarchive.h"
#include "platform/hulvane/cdbcore.h"
#include "platform/win/files.h"
#include "platform/win/qt/winqt.h"
#include "shell/tests/modules/recordingtavi.h"

namespace {

class CLIPS final : public ICLIPSERVER {
public:
    explicit CLIPS(RECORDINGSERVER& recorder)
        : server(recorder)
    {
    }

    IMODULE* queryinterface(unsigned id) override { return nullptr; }
    // The elements named in the selection are tagged, and the clip gets a picture.
    int selectclip(CDBCORE& cdb, SNIPPET* clip) override
    {
        server.calls.push_back("select clip");
        if (server.clipselection.empty())
            return 0;
        std::istringstream names(server.clipselection);
        for (std::string name; names >> name;)
            if (ELEMENT* element = cdb.findelement(nullptr, name.c_str()))
                cdb.tagelement(element->id);
        QImage picture(32, 16, QImage::Format_ARGB32);
        picture.fill(Qt::darkCyan);
        clip->thumbnail = winqt::tobitmap(picture);
        return 1;
    }
    int loadclip(const char* entry, APPLNARCHIVE& archive, SNIPPET*) override
    {
        server.calls.push_back(std::string("load clip ") + entry);
        const char* text = archive.getfiletext(entry, nullptr);
        server.clipread = text ? text : "";
        return text != nullptr;
    }
    int saveclip(const char* entry, APPLNARCHIVE& archive, SNIPPET*) override
    {
        server.calls.push_back(std::string("save clip ") + entry);
        VFILE& file = archive.openfile(entry, nullptr);
        file.write(server.clipselection.data(), static_cast<int>(server.clipselection.size()));
        return archive.closefile(file, 0);
    }
    int placeclip(SNIPPET*, CDBCORE&, int flag) override
    {
        server.calls.push_back("place clip " + std::to_string(flag));
        return !server.failplace;
    }
    int deleteclip(SNIPPET*, CDBCORE&) override
    {
        server.calls.push_back("delete clip");
        return 1;
    }

private:
    RECORDINGSERVER& server;
};

class SERVER : public RECORDINGSERVER {
public:
    explicit SERVER(APPLNMODULE* owner)
        : module(owner)
    {
    }

    IMODULE* queryinterface(unsigned id) override
    {
        return id == 0 ? module->queryinterface(0) : id == IID_CLIPSERVER ? &clips : nullptr;
    }
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
    CLIPS clips { *this };
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
