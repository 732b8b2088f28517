#pragma once

// The one project of a run: its description PROJECT.XML, its scripts, the component database and
// the documents of the design modules, read from and written into one project file (a zip, through
// VKTARCHIVE). It keeps the program's undo history (APPLNPROJECT) and is interface 2 of the process
// (IVKTPROJECT), bound there for its whole life. The documents belong to their modules: the
// project reaches each through the module's document server and lets it go at zap.
//
// PROJECT.XML: root "ROOT" whose attributes are the user's properties, with the children
// TIMESTAMP ("CREATED", "MODIFIED" in seconds since 1970, "FILEVER" the file format, "RELEASE" the
// program that wrote it, major * 100 + minor), SCRIPTS (their names), VARIANTS ("ACTIVE", NAMES)
// and DESCRIPTION.

#include <QObject>

#include <functional>
#include <iosfwd>
#include <memory>

#include "core/containers/proplist.h"
#include "core/files/paths.h"
#include "framework/appln/proxymodule.h"
#include "framework/bars/combobar.h"
#include "framework/documents/applnproject.h"
#include "framework/xml/xmldocument.h"
#include "framework/xml/xmlelement.h"
#include "shell/project/idocserver.h"
#include "shell/project/ivktproject.h"
#include "shell/project/vktarchive.h"

class APPLNPROCESS;
class CDBCORE;
struct BOARD;

class VKTPROJECT : public QObject, public APPLNPROJECT, public PROXYMODULE<IVKTPROJECT> {
    Q_OBJECT

public:
    static constexpr int FILEVERSION = 830; // written now; later ones are refused
    static constexpr int RELEASE = 812; // this program: 8.12
    static constexpr const char* UNTITLED = "UNTITLED.vktprj";

    VKTPROJECT();
    ~VKTPROJECT() override; // zaps, releases the database and leaves the process's table

    using APPLNPROJECT::restore;
    using APPLNPROJECT::setdirty;

    // The project file.
    void init() override;
    // Empties everything: archive, description, scripts, undo history, database, documents; clean.
    void zap();
    int isuntitled() override;
    void touch(int created) override;
    int load(const char* path) override;
    // Saves into the project file at path, after backing up the file it replaces (backup); the
    // file records the time of the save as MODIFIED.
    int save(const char* path) override;
    // The copy of the project file at path that a save is about to replace, named after the
    // project's MODIFIED stamp (the time the file was saved), and the dated copies past the number
    // kept deleted from the backup folder: 1 when the save may go on, 0 after telling why not (the
    // user declined an older file's upgrade, the file is read-only, the backup could not be made).
    int backup(const char* path);
    // The autosave: the project written as a zip at the stream's position, its path, dirty flag
    // and backups untouched; 1 when every document went in whole.
    int saveinto(FILE* stream);
    // The project becomes the one in the zip at the stream's position, under the name its autosave
    // gave, with changes not saved: 1 when every document loaded. A damaged zip or PROJECT.XML, or
    // a later version, is told and leaves the project as it was (0).
    int recoverfrom(FILE* stream, const char* name);
    // The file version of a PROJECT.XML read from the file at path: 0 (after message 21) when it is
    // later than this program's; else 1.
    int checkversion(const XML::DOCUMENT& read, const char* path);
    // The project path becomes the full path with the extension "vktprj"; the current folder its
    // folder. Used for a design opened as a new project, never for a project file's own path.
    void setdocpath(const char* path);
    // The close query of New, Open, Close, Quit and the last frame: 0 when the user cancelled, or
    // chose to save and the save failed (the work stays); otherwise 1.
    int closequery(int quitpending);

    // Documents and their modules' windows.
    int importdesign(const char* path) override;
    int importlayout(const char* path) override;
    int importfirmware(const char* path) override;
    APPLNWINDOW* opendesign(int show) override;
    APPLNWINDOW* openlayout(int show) override;
    APPLNWINDOW* openpanel(int show);
    APPLNWINDOW* openfirmware(int show);
    APPLNWINDOW* openmervale(int show);
    // The module's document server, the module's document attached to this project; show also
    // loads the module's window hidden. Null when the module is not installed.
    IDOCSERVER* getdocserver(const char* module, int show);
    APPLNDOCUMENT* design() const;
    APPLNDOCUMENT* layout() const;
    APPLNDOCUMENT* panel() const;
    APPLNDOCUMENT* firmware() const;
    APPLNDOCUMENT* mervale() const;
    int isdesignproject() const { return design() || layout() || firmware(); }
    int ispanelproject() const { return panel() != nullptr; }
    int issample();
    void createdesignproject(int schematic, int layout, int firmware);
    void createpanelproject();
    // Opens a project file, or a design or layout file of the older kind as a new project of that
    // name; then shows a document's window in an empty frame. 0 (with the project reset to an
    // untitled one) when it failed.
    int openbytype(const char* path);

    void setdirty(int flag) override { APPLNPROJECT::setdirty(flag); }
    void onmodified(APPLNDOCUMENT* document) override;
    void onrestore(UNDOFRAME* frame) override;

    // Clips: kept in project clip files, which come with their own commands.
    int getsnippetthumb(const char* file, QImage& image) override;
    int importsnippet(const char* file, IDOCSERVER* server, SHEET* sheet) override;
    int exportsnippet(const char* file, IDOCSERVER* server, SHEET* sheet) override;
    int deletesnippet(SNIPPET* clip) override;
    // Gives every element of the descriptor that names a schematic element ("ELEMENT") that
    // element's id from the clip's element map ("UID"); 0 when one is not in the clip, each such
    // name told on errors.
    int bindelements(SNIPPET* clip, XML::ELEMENT descriptor, std::ostream& errors);

    // Properties: built in (read only, taking precedence) "CDATE", "WS_CDATE" and "WL_CDATE" the
    // creation date short and long, the same with "M" for the modification, "CTIME" and "MTIME"
    // the times, "PATHNAME", "FILENAME", "VARIANT" (the current variant's name) and "BOARD" (the
    // current board's name or file stem); otherwise the root's attributes.
    int getproperty(const char* name, QString& value) override;
    const char* getproperty(const char* name) override;
    void setproperty(const char* name, const QString& value) override;
    void setproperty(const char* name, const char* text) override;
    int getscript(const char* name, QString& value) override;
    const char* getscript(const char* name) override;
    void setscript(const char* name, const QString& value) override;
    void setscript(const char* name, const char* text) override;

    // Variants: 'b' the base design (index 0 of the list), 'A' to 'Z' the variants (1 to 26).
    static char indextovariant(int index);
    static int varianttoindex(char variant);
    // A selector bar of the window in step with every other window's; shown while there are
    // variants to choose from.
    COMBOBAR* createvariantselector(APPLNWINDOW* window) override;
    int hasvariants() override;
    char currentvariant() override;
    void selectvariant(char variant) override;
    void getvariants(QStringList& names) override;
    void getvariants(STRINGLIST& names) override;
    void setvariants(const QStringList& names) override;

    // Boards. A selector bar of the window in step with every other window's; shown while the
    // project has more than one board.
    COMBOBAR* createboardselector(APPLNWINDOW* window) override;
    unsigned long currentboard() override;
    int ismultiboard() override;
    // A new board made current; with the wizard only when the user accepts it (the previous board
    // current again otherwise). 1 when the board stays.
    int createboard(int withwizard) override;
    // The open layout becomes the board's: the old board's layout is kept in the archive and the
    // new one's read from it (or made). 0 when no board has the id or no layout is open.
    int selectboard(unsigned long id) override;
    // The board's name, or its file stem when it has none, for every board.
    void getboardnames(STRINGLIST& names);
    // -1 when there is no board.
    int currentboardindex();
    // The board of the index made current for the layout to follow at the next modification; 1
    // when it was another board.
    int selectboardindex(int index);
    // The selectors show the boards, and the open layout follows the current board.
    void reloadboards();
    // The board made current for the layout entry; its entry name.
    const char* setlayoutfile(const BOARD* board);
    // Names and sets up a new board; 1 when the user accepted it. Set by the program (its wizard);
    // without it createboard with the wizard adds nothing.
    std::function<int(VKTPROJECT& project)> newboardwizard;

    XML::ELEMENT& getxmlroot() override { return root; }
    const char* getcwd() override { return APPLNPROJECT::getcwd(); }
    IMODULE* getnetlistmaster() override;
    QObject* getbroadcaster() override { return this; }
    int buildfirmware() override;
    int hasflowchart() override;

    VKTARCHIVE& getarchive() { return *archive; }
    CDBCORE* getcdb() const { return cdb; }
    // The entry of the current board's layout; "" without a board.
    const char* getlayoutentry() const { return layoutentry; }

signals:
    void modified(APPLNDOCUMENT* document);
    void restore(UNDOFRAME* frame);

private:
    // The project file at path read whole and checked: the zip with every entry's check sum, and a
    // PROJECT.XML that parses to a ROOT of a version this program reads. Null after the refusal
    // was reported; the project is not touched either way.
    std::unique_ptr<VKTARCHIVE> readfile(const char* path);
    // Whether PROJECT.XML of the archive read is one a project can be made of; 0 after reporting
    // what is wrong with it, naming the file as shown.
    int checkdescription(VKTARCHIVE& read, const char* shown);
    // Whether the archive's design database (when it has one) reads; 0 after reporting why not.
    int checkdatabase(VKTARCHIVE& read);
    // The project becomes the file read, under the path it was read from: 1 when every document
    // loaded.
    int takefile(std::unique_ptr<VKTARCHIVE> read);
    // The project becomes the archive read, under name: 1 when every document loaded.
    int adopt(std::unique_ptr<VKTARCHIVE> read, const char* name);
    // Deletes the oldest dated backups of the project of that stem in folder past the number kept.
    void prunebackups(const char* folder, const char* stem);
    // Everything of the project but its description, which is read before.
    int loadcontents(VKTARCHIVE& from);
    int save(VKTARCHIVE& to);
    // The entry name of the current board's layout into layoutentry; 0 without a current board.
    unsigned long readcurrentboard();
    // The selectors show the variants and boards as they are now.
    void updateselectors();
    // A selector bar of the window with the project's context current.
    COMBOBAR* createselector(
        APPLNWINDOW* window, unsigned short command, COMBOBARSET& set, const STRINGLIST& items, int current, int shown);
    // Loads the entry into the module's document and its window; 1 when the entry is absent.
    int loaddocument(IDOCSERVER*& server, const char* module, const char* entry, int showwindow);
    // Imports the file into the document that open makes (when it is not made yet) and shows its
    // window when the import succeeded; imported runs after any import that was tried. 0 when the
    // file cannot be read or the module is not installed, else the server's result.
    int importinto(IDOCSERVER*& server, APPLNWINDOW* (VKTPROJECT::*open)(int), const char* file,
        void (VKTPROJECT::*imported)());
    // An imported design's legacy variants are taken, and the firmware document closed.
    void ondesignimported();
    // The database's legacy variants become the one variant "Exc. from BOM", selected.
    void namelegacyvariants();
    // The full path of a path; when it cannot be made, the path as given.
    static void fullpath(const char* path, char* full);
    // The current folder becomes the folder of the path made full; a path that cannot be made full
    // leaves it.
    void enterfolder(const char* path);
    XML::ELEMENT variants();
    IFIRMWAREBUILDER* firmwarebuilder() const;
    // The clip's descriptor parsed and bound, with the clip file's base name as its "SOURCE": 1, or
    // 0 after telling why not with the message for text that is no XML or the one for elements not
    // in the clip.
    int binddescriptor(SNIPPET* clip, const char* file, const char* invalid, const char* inconsistent);
    // The clip taken out of the database; 0.
    int dropclip(SNIPPET* clip);

    APPLNPROCESS* process;
    std::unique_ptr<VKTARCHIVE> archive = std::make_unique<VKTARCHIVE>(); // replaced whole by a load
    XML::DOCUMENT description { "ROOT" };
    XML::ELEMENT root;
    PROPLIST scripts { 0, 1 };
    CDBCORE* cdb;
    IDOCSERVER* designserver = nullptr;
    IDOCSERVER* layoutserver = nullptr;
    IDOCSERVER* panelserver = nullptr;
    IDOCSERVER* firmwareserver = nullptr;
    IDOCSERVER* notesserver = nullptr;
    unsigned long boardid = 0;
    char layoutentry[PATHBUFFER] = "";
    char lastvariant = 'b';
    char buffer[PATHBUFFER] = ""; // for texts handed out
    COMBOBARSET variantselectors;
    COMBOBARSET boardselectors;
};
