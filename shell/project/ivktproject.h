#pragma once

// The project's operations as the modules reach them: interface 2 of the main program's process
// (getmoduleinterface(null, 2)). The operations come in the order modules were built against.

#include <QStringList>

#include "framework/context/interfaces.h"

class APPLNDOCUMENT;
class APPLNWINDOW;
class CMDINFOTABLE;
class COMBOBAR;
class IDOCSERVER;
class KEYTRANSLATOR;
class QImage;
class QObject;
class QString;
class STRINGLIST;
class UNDOFRAME;
struct MODULECONTEXT;
struct SHEET;
struct SNIPPET;
namespace XML {
class ELEMENT;
}

constexpr unsigned IID_VKTPROJECT = 2;

class IVKTPROJECT : public IMODULE {
public:
    // A new untitled project: "UNTITLED.vktprj" in the current folder, nothing in it.
    virtual void init() = 0;
    // Stamps the modification time, and with created non-zero the creation time and file version.
    virtual void touch(int created) = 0;
    // 1 when the project file at path was read whole; 0 after reporting why not.
    virtual int load(const char* path) = 0;
    // 1 when the project went into the file at path whole; 0 after reporting why not.
    virtual int save(const char* path) = 0;
    virtual int importdesign(const char* path) = 0;
    virtual int importlayout(const char* path) = 0;
    virtual int importfirmware(const char* path) = 0;
    virtual void setdirty(int flag) = 0;
    // A document of the project changed (null: the project itself).
    virtual void onmodified(APPLNDOCUMENT* document) = 0;
    virtual void onrestore(UNDOFRAME* frame) = 0;

    // Project clips.
    virtual int getsnippetthumb(const char* file, QImage& image) = 0;
    virtual int importsnippet(const char* file, IDOCSERVER* server, SHEET* sheet) = 0;
    virtual int exportsnippet(const char* file, IDOCSERVER* server, SHEET* sheet) = 0;
    virtual int deletesnippet(SNIPPET* clip) = 0;

    // Properties (attributes of PROJECT.XML's root) and scripts, as Unicode or UTF-8 texts.
    virtual int getproperty(const char* name, QString& value) = 0;
    virtual const char* getproperty(const char* name) = 0;
    virtual void setproperty(const char* name, const QString& value) = 0;
    virtual void setproperty(const char* name, const char* text) = 0;
    virtual int getscript(const char* name, QString& value) = 0;
    virtual const char* getscript(const char* name) = 0;
    virtual void setscript(const char* name, const QString& value) = 0;
    virtual void setscript(const char* name, const char* text) = 0;

    // Assembly variants: 'b' the base design, 'A' to 'Z' the variants.
    virtual COMBOBAR* createvariantselector(APPLNWINDOW* window) = 0;
    virtual int hasvariants() = 0;
    virtual char currentvariant() = 0;
    virtual void selectvariant(char variant) = 0;
    virtual void getvariants(QStringList& names) = 0;
    virtual void getvariants(STRINGLIST& names) = 0;
    virtual void setvariants(const QStringList& names) = 0;

    // Boards of a multi-board project.
    virtual COMBOBAR* createboardselector(APPLNWINDOW* window) = 0;
    virtual unsigned long currentboard() = 0;
    virtual int ismultiboard() = 0;
    virtual int createboard(int withwizard) = 0;
    virtual int selectboard(unsigned long id) = 0;

    // PROJECT.XML's root element.
    virtual XML::ELEMENT& getxmlroot() = 0;
    // The project's folder.
    virtual const char* getcwd() = 0;
    // The design's netlist server; null without a design.
    virtual IMODULE* getnetlistmaster() = 0;
    // The project as a Qt object, whose signals announce modifications and restored undo frames.
    virtual QObject* getbroadcaster() = 0;
    // The design's (the current board's layout's) module window, shown when show is set; null
    // when the module is not installed.
    virtual APPLNWINDOW* opendesign(int show) = 0;
    virtual APPLNWINDOW* openlayout(int show) = 0;
    // 1 without firmware, else the firmware build's result.
    virtual int buildfirmware() = 0;
    virtual int hasflowchart() = 0;

    // The module operations of the process the project belongs to.
    virtual const char* getapplnname() = 0;
    virtual const char* getapplntitle() = 0;
    virtual MODULECONTEXT* getapplncontext() = 0;
    virtual CMDINFOTABLE* getcmdinfotable() = 0;
    virtual KEYTRANSLATOR* getkeytranslator() = 0;
    virtual HINSTANCE getmoduleinstance() = 0;

protected:
    ~IVKTPROJECT() = default;
};
