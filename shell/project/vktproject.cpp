#include "shell/project/vktproject.h"

#include <QStringList>
#include <cstring>
#include <ctime>
#include <sstream>
#include <string>
#include <strings.h>
#include <unistd.h>

#include "core/files/paths.h"
#include "core/text/strutil.h"
#include "framework/appln/applnprocess.h"
#include "platform/drelm/messageboxes.h"
#include "platform/hulvane/cdbcore.h"
#include "platform/tirsk/reporting.h"
#include "platform/win/messagebox.h"
#include "platform/win/pathboundary.h"
#include "platform/win/userfolders.h"
#include "shell/project/projectentries.h"
#include "shell/project/projectmessages.h"

const char project_filename[] = "PROJECT.XML";
const char firmware_filename[] = "FIRMWARE.XML";

namespace {

constexpr unsigned short savecommand = 516;

} // namespace

VKTPROJECT::VKTPROJECT()
    : process(getapplnprocess())
    , cdb(createcdb())
{
    root = description.documentElement();
}

VKTPROJECT::~VKTPROJECT()
{
    zap();
    releasecdb(cdb);
    unbind();
}

void VKTPROJECT::setdocpath(const char* name)
{
    char full[PATHBUFFER];
    fullpath(name, full);
    enterfolder(full);
    addext(path, full, "vktprj");
}

void VKTPROJECT::fullpath(const char* name, char* full)
{
    if (!qualifyfilename(full, name))
        strnzcpy(full, name, PATHBUFFER - 1);
}

void VKTPROJECT::enterfolder(const char* name)
{
    char full[PATHBUFFER];
    if (!qualifyfilename(full, name))
        return;
    pathtrim(cwd, full);
    // A folder that cannot be entered leaves the process where it was; the project keeps its name.
    if (*cwd && chdir(toposixpath(cwd).c_str()) != 0)
        return;
}

void VKTPROJECT::init()
{
    char here[PATHBUFFER] = "";
    if (char* folder = ::getcwd(nullptr, 0)) {
        strnzcpy(here, towindowspath(folder).c_str(), PATHBUFFER - 1);
        free(folder);
    }
    addfilename(path, here, UNTITLED);
    strnzcpy(cwd, here, PATHBUFFER - 1);
    process->resetworkspace();
    zap();
    touch(1);
    cdb->setowner(this);
    cdb->newdatabase(databaseentry);
}

void VKTPROJECT::zap()
{
    archive->zap();
    description.zap();
    scripts.zap();
    resetundostacks();
    cdb->zap();
    for (IDOCSERVER** server :
        { &designserver, &layoutserver, &panelserver, &firmwareserver, &notesserver }) {
        if (*server)
            (*server)->closedocument();
        *server = nullptr;
    }
    boardid = 0;
    layoutentry[0] = '\0';
    lastvariant = 'b';
    root = description.documentElement();
    dirty = 0;
}

int VKTPROJECT::isuntitled()
{
    return strcasecmp(filename(), UNTITLED) == 0;
}

void VKTPROJECT::touch(int created)
{
    XML::ELEMENT timestamp = root.getchild("TIMESTAMP", 1);
    const std::string now = std::to_string(static_cast<long long>(std::time(nullptr)));
    if (created) {
        timestamp.setattribute("CREATED", now.c_str());
        timestamp.setinteger("FILEVER", FILEVERSION);
    }
    timestamp.setattribute("MODIFIED", now.c_str());
}

int VKTPROJECT::checkversion(const XML::DOCUMENT& read, const char* file)
{
    XML::ELEMENT timestamp = XML::ELEMENT(read.documentElement()).getchild("TIMESTAMP", 0);
    const int release = timestamp.isNull() ? 0 : timestamp.getinteger("RELEASE", 0);
    const int version = timestamp.isNull() ? 0 : timestamp.getinteger("FILEVER", 0);
    if (version <= FILEVERSION)
        return 1;
    showmessage(MSG_LATERVERSION, ::filename(file), release / 100, release % 100);
    return 0;
}

int VKTPROJECT::load(const char* name)
{
    std::unique_ptr<VKTARCHIVE> read = readfile(name);
    return read ? takefile(std::move(read)) : 0;
}

std::unique_ptr<VKTARCHIVE> VKTPROJECT::readfile(const char* name)
{
    char full[PATHBUFFER];
    fullpath(name, full);
    auto read = std::make_unique<VKTARCHIVE>();
    read->setextension("vktprj");
    // Every entry comes out of the zip, its check sum tested, before the open project is let go.
    if (!read->beginload(full, 0) || !read->endload() || !checkdescription(*read, read->getpath()))
        return nullptr;
    return read;
}

int VKTPROJECT::checkdescription(VKTARCHIVE& read, const char* shown)
{
    const std::string posix = toposixpath(shown);
    const char* file = posix.c_str();
    if (!read.exists(project_filename, nullptr)) {
        showmessage(MSG_NODESCRIPTION, file, project_filename);
        return 0;
    }
    XML::DOCUMENT scratch("ROOT");
    std::ostringstream errors;
    VFILE& entry = read.openfile(project_filename, nullptr);
    const int parsed = scratch.load(entry, &errors);
    read.closefile(entry, 0);
    const QString tag = scratch.documentElement().tagName();
    if (parsed && tag == QLatin1String("ROOT"))
        return checkversion(scratch, shown);
    if (parsed)
        errors << "Error: The root element is '" << tag.toStdString() << "', not 'ROOT'.\n";
    std::string detail = errors.str();
    while (!detail.empty() && detail.back() == '\n')
        detail.pop_back();
    showmessage(MSG_DAMAGEDENTRY, file, project_filename, detail.c_str());
    return 0;
}

int VKTPROJECT::takefile(std::unique_ptr<VKTARCHIVE> read)
{
    // The path stays the one the file was read under, extension and all.
    const std::string from = read->getpath();
    if (!adopt(std::move(read), from.c_str()))
        return 0;
    process->addmrufile(path);
    dirty = 0;
    return 1;
}

int VKTPROJECT::adopt(std::unique_ptr<VKTARCHIVE> read, const char* name)
{
    zap();
    archive = std::move(read);
    strnzcpy(path, name, PATHBUFFER - 1);
    enterfolder(path);
    description.load(*archive, project_filename, nullptr);
    return loadcontents(*archive);
}

int VKTPROJECT::recoverfrom(FILE* stream, const char* name)
{
    auto read = std::make_unique<VKTARCHIVE>();
    if (!read->beginload(stream, 0) || !read->endload() || !checkdescription(*read, name))
        return 0;
    init();
    setdocpath(name);
    const std::string recovered = path;
    const int result = adopt(std::move(read), recovered.c_str());
    dirty = 1;
    return result;
}

int VKTPROJECT::saveinto(FILE* stream)
{
    VKTARCHIVE into;
    if (!into.beginsave(stream))
        return 0;
    // Writing stamps this version into the description; the project keeps the stamp of the file it
    // came from, which the next save's backup is named and asked about by.
    const QDomNode stamp = root.getchild("TIMESTAMP", 0).cloneNode(true);
    const int written = save(into);
    const int ended = into.endsave();
    const QDomElement stamped = root.getchild("TIMESTAMP", 0);
    if (stamp.isNull())
        root.removeChild(stamped);
    else
        root.replaceChild(stamp, stamped);
    return ended && written;
}

int VKTPROJECT::loadcontents(VKTARCHIVE& from)
{
    root = description.documentElement();
    root.removechild("PROPERTIES");

    QStringList names;
    root.getstringlist(scriptfolder, names);
    for (const QString& scriptname : names) {
        const QByteArray key = scriptname.toLocal8Bit();
        if (const char* text = from.getfiletext(scriptfolder, key.constData()))
            scripts.add(key.constData(), text);
    }

    if (from.exists(databaseentry, nullptr)) {
        VFILE& file = from.openfile(databaseentry, nullptr);
        cdb->load(file);
        from.closefile(file, 0);
    }
    cdb->setowner(this);
    if (!hasvariants() && cdb->migratelegacyvariants())
        namelegacyvariants();
    cdb->selectvariant(currentvariant());

    int result = loaddocument(designserver, "TAVI", designentry, 1);
    if (readcurrentboard())
        result = loaddocument(layoutserver, "BRIX", layoutentry, 1) && result;
    result = loaddocument(panelserver, "SPANDO", panelentry, 1) && result;
    result = loaddocument(firmwareserver, "ZMVSTUDIO", firmware_filename, 0) && result;
    return loaddocument(notesserver, "MERVALE", notesentry, 0) && result;
}

int VKTPROJECT::loaddocument(IDOCSERVER*& server, const char* module, const char* entry, int showwindow)
{
    if (!archive->exists(entry, nullptr))
        return 1;
    server = getdocserver(module, 0);
    if (!server)
        return 1;
    const int result = server->loaddocument(entry, *archive) ? 1 : 0;
    process->loadmodulewindow(server, showwindow, 0);
    return result;
}

unsigned long VKTPROJECT::readcurrentboard()
{
    const BOARD* board = cdb->currentboard();
    boardid = board ? board->id : 0;
    layoutentry[0] = '\0';
    if (board)
        addext(layoutentry, board->stem.c_str(), "LYT");
    return *layoutentry ? boardid : 0;
}

int VKTPROJECT::save(const char* name)
{
    char full[PATHBUFFER];
    fullpath(name, full);
    enterfolder(full);
    const char* extension = ispanelproject() ? "vktpnl" : "vktprj";
    archive->setextension(extension);
    char target[PATHBUFFER];
    if (!backup(adddefext(target, full, extension)))
        return 0;
    touch(0);
    if (!archive->beginsave(full))
        return 0;
    const int written = save(*archive);
    if (!archive->endsave() || !written)
        return 0;
    // The path is the file written, with the extension the user gave it.
    strnzcpy(path, archive->getpath(), PATHBUFFER - 1);
    process->addmrufile(path);
    dirty = 0;
    SHAddToRecentDocs(SHARD_PATHA, path);
    return 1;
}

int VKTPROJECT::save(VKTARCHIVE& to)
{
    QStringList names;
    for (int i = 0; i < scripts.count; ++i) {
        const char* scriptname = scripts.ptr(i);
        const char* text = scriptname + std::strlen(scriptname) + 1;
        names.append(QString::fromLocal8Bit(scriptname));
        VFILE& file = to.openfile(scriptfolder, scriptname);
        file.write(text, static_cast<int>(std::strlen(text)));
        to.closefile(file, 0);
    }
    root.setstringlist(scriptfolder, names);

    VFILE& database = to.openfile(databaseentry, nullptr);
    // The database's own result counts: a failed write must not pass for a saved project.
    int result = cdb->save(database);
    result = to.closefile(database, 0) && result;

    if (designserver)
        result = designserver->savedocument(designentry, to) && result;
    if (layoutserver && *layoutentry)
        result = layoutserver->savedocument(layoutentry, to) && result;
    if (panelserver)
        result = panelserver->savedocument(panelentry, to) && result;
    if (firmwareserver)
        result = firmwareserver->savedocument(firmware_filename, to) && result;
    if (notesserver)
        result = notesserver->savedocument(notesentry, to) && result;

    XML::ELEMENT timestamp = root.getchild("TIMESTAMP", 1);
    timestamp.setinteger("RELEASE", RELEASE);
    timestamp.setinteger("FILEVER", FILEVERSION);
    return description.save(to, project_filename, nullptr) && result;
}

int VKTPROJECT::closequery(int quitpending)
{
    // Quitting or not, work the user asked to keep and that could not be saved stays open.
    bool settled = true;
    if (isdirty()) {
        const char* question = getapplnmessage(MSG_SAVECHANGES);
        const int answer = quitpending ? (yesno(question) ? IDYES : IDNO) : yesnocancel(question);
        if (answer == IDCANCEL)
            return 0;
        if (answer == IDYES) {
            process->docommand(savecommand);
            settled = !isdirty();
        }
    }
    process->saveworkspace();
    return settled ? 1 : 0;
}
