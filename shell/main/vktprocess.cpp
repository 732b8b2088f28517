#include "shell/main/vktprocess.h"

#include <QCoreApplication>
#include <QPixmap>
#include <QSettings>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/files/diskfile.h"
#include "core/text/proptext.h"
#include "core/text/strutil.h"
#include "framework/appln/splashscreen.h"
#include "platform/drelm/control.h"
#include "platform/drelm/form.h"
#include "platform/drelm/formfactory.h"
#include "platform/drelm/messageboxes.h"
#include "platform/frosk/server.h"
#include "platform/hulvane/librarypaths.h"
#include "platform/win/pathboundary.h"
#include "shell/main/aboutbox.h"
#include "shell/main/newboardwizard.h"
#include "shell/main/outsidemodules.h"
#include "shell/main/settingsdialog.h"
#include "shell/project/projectmessages.h"

namespace {

constexpr const char* samplecachefile = "SampleSearchCache.ini";
constexpr int closewindow = 145;
constexpr int quitprogram = 128;

void appendenvironment(char* buffer, const char* variable)
{
    const char* value = std::getenv(variable);
    if (!value)
        return;
    size_t length = std::strlen(buffer);
    snprintf(buffer + length, PATHBUFFER - length, ".%s", value);
}

} // namespace

VKTPROCESS::VKTPROCESS()
{
    setapplnname(TITLE, TITLE);
    project.bind(this, IID_VKTPROJECT);
    project.newboardwizard = runnewboardwizard;
}

VKTPROCESS::~VKTPROCESS()
{
    project.unbind();
}

int VKTPROCESS::onidle()
{
    auto* keeper = static_cast<IDESIGNIMPORT*>(importer);
    if (embedding && hidden && keeper && !keeper->keepalive())
        quit(0);
    // The project's name and changes show in the captions, what may run in the toolbar's buttons.
    char caption[PATHBUFFER];
    if (shownframecaption != getframecaption(caption)) {
        shownframecaption = caption;
        updateframecaptions();
    }
    updateglobaltoolbars();
    return APPLNPROCESS::onidle();
}

char* VKTPROCESS::getframecaption(char* buffer)
{
    APPLNPROCESS::getframecaption(buffer);
    const int dirty = project.isdirty();
    if (project.isuntitled() && !dirty)
        return buffer;
    const char* name = project.isuntitled() ? "Untitled" : filename(project.pathname());
    const size_t length = std::strlen(buffer);
    snprintf(buffer + length, PATHBUFFER - length, " - %s%s", name, dirty ? "*" : "");
    return buffer;
}

void VKTPROCESS::onfirstrun(unsigned long, unsigned long)
{
    showsplashmessage("Configuring this version for first use");
    // The sample browser rebuilds its cache when it finds none.
    char folder[PATHBUFFER];
    addfilename(folder, getdatapath(), samplecachefile);
    QSettings cache(QString::fromLocal8Bit(toposixpath(folder).c_str()), QSettings::IniFormat);
    cache.remove("Cache");
    cache.sync();
}

void VKTPROCESS::showsplashscreen()
{
    const QString text = QCoreApplication::translate("SplashScreen", "%1 v%2.%3 SP%4.")
                             .arg(QString::fromLocal8Bit(getapplntitle()))
                             .arg(8)
                             .arg(12)
                             .arg(0);
    splash = new SPLASHSCREEN(QPixmap(":/corvane/core/splash.png"), text, 3000);
    splash->show(600);
}

void VKTPROCESS::hidesplashscreen()
{
    APPLNPROCESS::hidesplashscreen();
    reporter = getmoduleinterface("TUMBRAL", 25);
    if (auto* report = static_cast<IREPORT*>(reporter))
        report->onstartup(0);
    importer = getmoduleinterface("GRESHOLD", 37);
    checkpropdefs();
}

void VKTPROCESS::checkpropdefs()
{
    char path[PATHBUFFER];
    if (!findpropdefs(path)) {
        showmessage(MSG_NOPROPDEFS);
        return;
    }
    FILE* file = fopen(pathforwriting(path).c_str(), "r+");
    if (!file) {
        showmessage(MSG_PROPDEFSREADONLY, toposixpath(path).c_str());
        return;
    }
    DISKFILE disk(file);
    PROPTEXT definitions;
    definitions.read(disk);
    fclose(file);
    const char* version = definitions["VERSION"];
    if (!version || std::strcmp(version, "8") != 0)
        showmessage(MSG_PROPDEFSOLD, toposixpath(path).c_str());
}

char* VKTPROCESS::getworkspacename(char* buffer)
{
    buffer[0] = '\0';
    if (project.isuntitled())
        return nullptr;
    strnzcpy(buffer, project.pathname(), PATHBUFFER - 1);
    appendenvironment(buffer, "USERDOMAIN");
    appendenvironment(buffer, "USERNAME");
    size_t length = std::strlen(buffer);
    snprintf(buffer + length, PATHBUFFER - length, ".workspace");
    return buffer;
}

int VKTPROCESS::queryclose(APPLNFRAME* frame)
{
    if (!frame || numframes() <= 1)
        return APPLNPROCESS::queryclose(frame) && project.closequery(isquitpending());
    // The buttons that end the form are no OK: the box is read as the form closes.
    struct SAVEBOX : IFORMHANDLER {
        virtual ~SAVEBOX() = default;
        int checked = 0;
        DLGCODES callback(FORM& form, unsigned message, unsigned, long) override
        {
            if (message == DLGM_CLOSING)
                if (CONTROL* box = form.getctrl("SAVE"))
                    checked = box->ischecked();
            return DLG_DEFAULT;
        }
    } savebox;
    int save = project.isdirty();
    FORM form(frame->hwnd, "QUERYCLOSE", &savebox);
    const int choice = form.open(DLG_MODAL, LT_VARARGS, TITLE, &save);
    save = savebox.checked;
    if (choice == closewindow)
        return frame->queryclose();
    if (choice != quitprogram || !APPLNPROCESS::queryclose(nullptr))
        return 0;
    if (save) {
        saveproject(0);
        if (project.isdirty())
            return 0;
    }
    setclosepending(1);
    saveworkspace();
    quit(1);
    return 0;
}

int VKTPROCESS::closeframe(APPLNFRAME* frame)
{
    if (numframes() > 1)
        return frame ? frame->close(0) : 0;
    if (!APPLNPROCESS::queryclose(nullptr) || !project.closequery(isquitpending()))
        return 0;
    project.init();
    loadmodulewindow("STARTUP", 1, 0);
    return 0;
}

void VKTPROCESS::editsettings()
{
    SYSTEMSETTINGS settings;
    settings.folderopenmode = folderopenmode;
    strnzcpy(settings.documentpath, documentpath, PATHBUFFER - 1);
    settings.undolevels = project.getmaxundolevels();
    settings.autosaveinterval = autosaveinterval;
    settings.backuplevels = project.getbackuplevels();
    strnzcpy(settings.backupfolder, backupfolder, sizeof settings.backupfolder - 1);
    if (!editsystemsettings(settings, static_cast<IREPORT*>(reporter)))
        return;
    folderopenmode = settings.folderopenmode;
    strnzcpy(documentpath, settings.documentpath, PATHBUFFER - 1);
    undolevels = settings.undolevels;
    project.setmaxundolevels(undolevels);
    backuplevels = settings.backuplevels;
    project.setbackuplevels(backuplevels);
    autosaveinterval = settings.autosaveinterval;
    setinterval(autosaveinterval > 0 ? static_cast<unsigned>(autosaveinterval) : 0);
    strnzcpy(backupfolder, settings.backupfolder, PATHBUFFER - 1);
    project.setbackupfolder(backupfolder);
}

void VKTPROCESS::loadcbftable()
{
    static FORM_CBITEM forms[] = {
        { "help_about", help_about },
        { "core_settings", core_settings },
        { "brix_settings", brix_settings },
    };
    for (FORM_CBITEM& row : forms)
        dialogcbfs.add(&row);
}
