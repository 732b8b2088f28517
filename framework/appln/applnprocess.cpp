#include "framework/appln/applnprocess.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>
#include <cstdarg>
#include <cstdio>
#include <unistd.h>

#include "core/files/paths.h"
#include "core/text/strutil.h"
#include "core/windows/process.h"
#include "core/windows/registry.h"
#include "framework/appln/registrytext.h"
#include "framework/appln/errorhandler.h"
#include "framework/appln/splashscreen.h"
#include "framework/context/stringtranslator.h"
#include "platform/drelm/alerts.h"
#include "platform/drelm/dialoglook.h"
#include "platform/drelm/messageboxes.h"
#include "platform/tirsk/basewin.h"
#include "platform/tirsk/exceptionhandler.h"
#include "platform/win/htmlhelp.h"
#include "platform/win/images.h"
#include "platform/win/messagequeue.h"
#include "platform/win/paint.h"
#include "platform/win/pathboundary.h"
#include "platform/win/qt/images.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/regstore.h"
#include "platform/win/styles.h"
#include "platform/win/system.h"
#include "platform/win/version.h"
#include "platform/win/window.h"

namespace {

APPLNPROCESS* theprocess = nullptr;

constexpr const char* organisationname = "Venthorne Electronics";
constexpr const char* organisationdomain = "venthorne.com";
constexpr const char* lastfileused = "LastFileUsed";
constexpr int recentfiles = 8;
constexpr unsigned int firstrecentfile = 0x175;
constexpr int messagebuffer = 1024;
constexpr unsigned long MSG_SETTINGSREFUSED = 0xF300;

QString fromlocal(const char* text)
{
    return QString::fromLocal8Bit(text ? text : "");
}

// A settings file the store refused is named with its reason: the program then runs on defaults.
void reportrefusedsettings()
{
    for (regstore::Hive hive : { regstore::Hive::user, regstore::Hive::machine }) {
        const std::string reason = regstore::refusal(hive);
        if (reason.empty())
            continue;
        char text[messagebuffer];
        snprintf(text, sizeof text, getapplnmessage(MSG_SETTINGSREFUSED), regstore::hivefile(hive).c_str(),
            reason.c_str());
        errbox(text);
    }
}

} // namespace

APPLNPROCESS* getapplnprocess()
{
    return theprocess;
}

void applnbroadcast(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (theprocess)
        theprocess->broadcastmessage(message, wParam, lParam);
}

IMODULE* getmoduleinterface(const char* name, unsigned id)
{
    return theprocess ? theprocess->getmoduleinterface(name, id) : nullptr;
}

APPLNPROCESS::APPLNPROCESS()
    : APPLNMODULE(nullptr)
{
    theprocess = this;
}

APPLNPROCESS::~APPLNPROCESS()
{
    destroysplashscreen();
    if (previousdefault)
        defaultapplncontext = previousdefault;
    if (theprocess == this)
        theprocess = nullptr;
}

void APPLNPROCESS::setpaths()
{
    std::string program = programfile();
    std::string folder = program.substr(0, program.rfind('/'));
    strnzcpy(binpath, towindowspath(folder).c_str(), PATHBUFFER - 1);
    pathtrim(rootpath, binpath);
    if (reg_getstr(nullptr, "ProgramData", datapath, PATHBUFFER) <= 1 || !datapath[0])
        strnzcpy(datapath, rootpath, PATHBUFFER - 1);
}

const char* APPLNPROCESS::getdatapath(const char* name)
{
    return addfilename(temppath, datapath, name);
}

int APPLNPROCESS::run(HINSTANCE instance, HINSTANCE previous, char* commandline, int showcommand)
{
    QCoreApplication::setOrganizationDomain(organisationdomain);
    QCoreApplication::setOrganizationName(organisationname);
    QCoreApplication::setApplicationName(fromlocal(getapplnname()));
    QGuiApplication::setQuitOnLastWindowClosed(false);

    std::string program = programfile();
    QString bin = QString::fromLocal8Bit(program.substr(0, program.rfind('/')).c_str());
    QCoreApplication::setLibraryPaths({ bin, bin + "/plugins" });

    char working[PATHBUFFER] = {};
    if (getcwd(working, sizeof working))
        strnzcpy(launchpath, towindowspath(working).c_str(), PATHBUFFER - 1);

    translator = std::make_unique<STRINGTRANSLATOR>();
    context.translator = translator.get();

    if (!parsecommandline(commandline))
        splashwanted = 0;
    createinstance(instance, previous);
    loadresources();
    if (HANDLE icon = LoadImageA(instance, "APPICON", IMAGE_ICON, 0, 0, 0))
        QApplication::setWindowIcon(winqt::qiconof(static_cast<HICON>(icon)));
    system_init();
    if (splashwanted && !hidden)
        showsplashscreen();
    appln_init();
    createnewframe(nullptr);
    processevents();
    if (hidden) {
        excp.setsilent(1);
        disablealerts(1);
    } else {
        init(getdatapath("TEMP"), "VKT");
    }
    // Told once a hidden run writes its boxes out instead of waiting on them.
    reportrefusedsettings();
    bool loop = true;
    // A recovered project is the work to go on with: the command line would replace it.
    if (hidden || !isrecovered())
        exitcode = executecommandline();
    if (exitcode || quitpending)
        loop = false;
    if (loop) {
        processevents();
        checkversion();
        processevents();
        hidesplashscreen();
        APPLNFRAME* first = getframe(0);
        if (!hidden && first && first->hwnd) {
            if (!IsWindowVisible(first->hwnd) && !first->restorewindowplacement(nullptr))
                ShowWindow(first->hwnd, showcommand);
            UpdateWindow(first->hwnd);
        }
        processevents();
        destroysplashscreen();
        setinputhandler(&inputhandler);
        inputhandler.reset();
        mainloop();
        QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit", Qt::DirectConnection);
        QCoreApplication::quit();
    } else {
        destroysplashscreen();
        QCoreApplication::quit();
    }
    if (translator->hascollected())
        translator->write();
    setapplncontext(&context);
    system_term();
    context.translator = nullptr;
    translator.reset();
    return exitcode;
}

void APPLNPROCESS::processevents()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void APPLNPROCESS::createinstance(HINSTANCE instance, HINSTANCE previous)
{
    context.instance = instance;
    context.messagetable = &messagetable;
    context.stringtable = &stringtable;
    context.criticalsection = &criticalsection;
    setapplncontext(&context);
    if (!previousdefault)
        previousdefault = defaultapplncontext;
    defaultapplncontext = &context;
}

void APPLNPROCESS::loadresources()
{
    messagetable.settranslator(translator.get(), nullptr);
    stringtable.settranslator(translator.get(), nullptr);
    HINSTANCE library = getapplnlanguageinstance();
    if (FindResourceA(context.instance, "APPLNMESSAGES", RT_RCDATA))
        messagetable.load("APPLNMESSAGES", context.instance);
    messagetable.load("QJLIBMESSAGES", library);
    if (FindResourceA(context.instance, "APPLNSTRINGS", RT_RCDATA))
        stringtable.load("APPLNSTRINGS", context.instance);
    stringtable.load("QJLIBSTRINGS", library);
}

void APPLNPROCESS::system_init()
{
    char key[PATHBUFFER];
    snprintf(key, sizeof key, "%s\\%s", MAKERKEY, getapplnname());
    reg_init(HKEY_LOCAL_MACHINE, key);
    setpaths();
    reg_setrootkey(HKEY_CURRENT_USER);
    BASEWIN::initialise("APPLN");
    dlg_init(nullptr, getapplnlanguageinstance());
    dlg_setlocale(translator.get());
    setformfactoryhook([]() -> IFORMFACTORY* { return getapplnmodule(); });
    HtmlHelpA(nullptr, nullptr, HH_INITIALIZE, reinterpret_cast<DWORD_PTR>(&helpcookie));
    APPLNMODULE::system_init();
    applnmenu.reset(createapplnmenu(this));
    APPLNMENU::loadmrulist();
    applnmenu->rebuildmrulist();
}

APPLNMENU* APPLNPROCESS::createapplnmenu(IMENUOWNER* owner)
{
    auto* menu = new APPLNMENU(owner, recentfiles, firstrecentfile);
    menu->loadmenus("GLOBALMENU", getmoduleinstance(), cmdtable, this);
    menu->setaccelerators(CMDCTX_GLOBAL, keytranslator, 0);
    menu->rebuildmrulist();
    return menu;
}

void APPLNPROCESS::oninitmenupopup(int index, HMENU popup)
{
    if (applnmenu)
        applnmenu->init(popup);
}

void APPLNPROCESS::system_term()
{
    for (APPLNFRAME* frame : GDPA<APPLNFRAME>(frames))
        frame->destroywindow();
    pushcontext();
    appln_term();
    popcontext();
    HtmlHelpA(nullptr, nullptr, HH_CLOSE_ALL, 0);
    HtmlHelpA(nullptr, nullptr, HH_UNINITIALIZE, helpcookie);
    APPLNMODULE::system_term();
    APPLNMENU::savemrulist();
    applnmenu.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    destroymodules();
    frames.zap();
    APPLNERRORHANDLER::closeinternalerrors();
    setformfactoryhook(nullptr);
    dlg_term();
    BASEWIN::terminate();
    setapplncontext(&context);
    reg_term();
}

void APPLNPROCESS::destroysplashscreen()
{
    delete splash;
    splash = nullptr;
}

void APPLNPROCESS::hidesplashscreen()
{
    if (splash)
        splash->hide(400, false);
}

void APPLNPROCESS::showsplashmessage(const char* format, ...)
{
    if (!splash)
        return;
    char text[messagebuffer];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    splash->showMessage(fromlocal(text));
}

INPUTHANDLER* APPLNPROCESS::setinputhandler(INPUTHANDLER* handler)
{
    INPUTHANDLER* previous = currentinputhandler;
    currentinputhandler = handler;
    return previous;
}

char* APPLNPROCESS::getframecaption(char* buffer)
{
    return strnzcpy(buffer, getapplntitle(), PATHBUFFER - 1);
}

void APPLNPROCESS::abort()
{
    quitpending = 1;
    hidden = 1;
}

void APPLNPROCESS::addmrufile(const char* name)
{
    pushcontext();
    if (applnmenu)
        applnmenu->addmrufile(name);
    for (APPLNFRAME* frame : frames)
        if (APPLNMENU* menu = frame->getactivemenu(); menu && menu != applnmenu.get())
            menu->rebuildmrulist();
    reg_putpath(nullptr, lastfileused, name);
    popcontext();
}

void APPLNPROCESS::aboutQt()
{
    APPLNFRAME* frame = getactiveframe();
    QWidget* over = frame ? winqt::widgetof(frame->hwnd) : nullptr;
    QPointer<QWidget> host = new QWidget(over);
    if (over)
        host->setGeometry(over->rect());
    QMessageBox::aboutQt(host, fromlocal(getapplntitle()));
    if (host)
        host->deleteLater();
}

int APPLNPROCESS::updatetranslationfile(const char* path)
{
    VERSIONINFO version {};
    char text[64] = "<unknown>";
    if (getversioninfo(programfile().c_str(), &version))
        snprintf(
            text, sizeof text, "%u.%u.%u.%u", version.major, version.minor, version.build, version.revision);
    return translator ? translator->update(path, text) : 0;
}
