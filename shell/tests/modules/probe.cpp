// A module the end-to-end tests start the program with ({VKTPROBE step; step; ...} on its command
// line): it carries out the steps one per turn of the program's main loop, answers and records the
// message boxes, and writes what it finds into a report file for the test to read.
//   report FILE      appends a snapshot of the program to FILE
//   answer N         message boxes are answered N from now on
//   design TEXT      opens the design and makes TEXT its contents, changed
//   save FILE        saves the project as FILE
//   command ID       sends the command ID (0x prefix: hexadecimal) to the frame, as its button does
//   recent FILE      puts FILE first in the recent files, as opening it does
//   closeframe       closes the last frame the way its last tab's close button does
//   toolbarsize N    the bars' image size
//   wait MS          lets the program run on for MS milliseconds
//   menu LETTER      opens the frame's menu of that mnemonic, as Alt and the letter do
//   endmenu          closes the menu that is open
//   screenshot       keeps what the screen shows of the frame as VKT_SCREENSHOT_PATH names
//   commands FILE    carries out every command of the program's tables and appends what each did
//                    to FILE as one snapshot (commandwalk.h), Exit last
//   firstframe FILE  writes when the first frame was first shown: CLOCK_MONOTONIC in nanoseconds
//   maximise         maximises the frame, as its title bar's button does
//   close            asks the frame's window to close, as the window manager's close button does
//   autosave         makes the autosave due at once, the user counted active, as an interval of work does
//   checked          waits (at most a minute) until the verifier has checked the autosave's copy
//   kill             ends the program at once with SIGKILL, as a crash or a power cut does

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/appln/applnprocess.h"
#include "framework/appln/splashscreen.h"
#include "framework/bars/toolbar.h"
#include "framework/documents/applnproject.h"
#include "platform/win/menu.h"
#include "platform/win/messagebox.h"
#include "platform/win/messagequeue.h"
#include "platform/win/pathboundary.h"
#include "platform/win/qt/tests/screenshot.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/window.h"
#include "shell/project/ivktproject.h"
#include "shell/tests/modules/commandwalk.h"
#include "shell/tests/modules/recordinghost.h"
#include "shell/tests/modules/recordingtavi.h"

namespace {

std::vector<std::string> boxes;
int answer = IDOK;

int recordbox(HWND, const char* text, const char*, UINT)
{
    boxes.emplace_back(text);
    return answer;
}

std::string oneline(std::string text)
{
    for (char& c : text)
        if (c == '\n')
            c = '|';
    return text;
}

class PROBE : public APPLNMODULE {
public:
    explicit PROBE(APPLNPROCESS* owner)
        : APPLNMODULE(owner)
    {
        setapplnname("VKTPROBE", "Probe");
    }

    ~PROBE() override { setmessageboxhook(previoushook); }

    void run(APPLNFRAME* frame, char* commandline) override
    {
        previoushook = setmessageboxhook(recordbox);
        // The program starts its modules while its splash is up: what it shows then.
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* shown = dynamic_cast<SPLASHSCREEN*>(widget); shown && shown->isVisible())
                splash = (shown->getcaption() + "|" + shown->message()).toStdString();
        std::istringstream list(commandline ? commandline : "");
        for (std::string step; std::getline(list, step, ';');) {
            step.erase(0, step.find_first_not_of(' '));
            if (!step.empty())
                steps.push_back(step);
        }
        qApp->installEventFilter(&firstshow);
        QObject::connect(&timer, &QTimer::timeout, [this] { tick(); });
        timer.start(20);
    }

private:
    IVKTPROJECT* project() { return static_cast<IVKTPROJECT*>(process->getmoduleinterface(nullptr, 2)); }

    // The steps begin once the program has shown its first frame (or runs hidden), as a user's would.
    bool started()
    {
        APPLNFRAME* frame = process->getframe(0);
        return process->ishidden() || (frame && IsWindowVisible(frame->hwnd));
    }

    // One step per tick; the timer is the module's own, so that none outlives its code.
    void tick()
    {
        // The steps wait while a command of the walk has a dialog open.
        if (!started() || walking || std::chrono::steady_clock::now() < resume)
            return;
        if (steps.empty()) {
            timer.stop();
            return;
        }
        if (steps.front() == "checked" && !checked()) {
            if (checkwait == std::chrono::steady_clock::time_point {})
                checkwait = std::chrono::steady_clock::now() + std::chrono::minutes(1);
            if (std::chrono::steady_clock::now() < checkwait)
                return;
        }
        std::string step = steps.front();
        steps.erase(steps.begin());
        perform(step);
    }

    void perform(const std::string& step)
    {
        const size_t blank = step.find(' ');
        const std::string verb = step.substr(0, blank);
        const std::string argument = blank == std::string::npos ? "" : step.substr(blank + 1);
        APPLNFRAME* frame = process->getframe(0);
        if (verb == "report")
            report(argument);
        else if (verb == "answer")
            answer = std::stoi(argument);
        else if (verb == "design") {
            project()->opendesign(0);
            auto* server = static_cast<RECORDINGSERVER*>(process->getmoduleinterface("TAVI", 3));
            server->document.text = argument;
            server->document.setdirty(1);
        } else if (verb == "save")
            project()->save(argument.c_str());
        else if (verb == "command" && frame)
            PostMessageA(frame->hwnd, WM_COMMAND, std::stoul(argument, nullptr, 0), 0);
        else if (verb == "recent")
            process->addmrufile(towindowspath(argument).c_str());
        else if (verb == "closeframe")
            process->closeframe(frame);
        else if (verb == "wait")
            resume = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::stoi(argument));
        else if (verb == "screenshot" && frame)
            screenshot = wintest::SCREENSHOT(frame->hwnd).saved ? "saved" : "failed";
        else if (verb == "menu" && frame && !argument.empty())
            PostMessageA(frame->hwnd, WM_SYSCOMMAND, SC_KEYMENU, argument[0]);
        else if (verb == "commands")
            walk(argument);
        else if (verb == "firstframe")
            std::ofstream(argument) << firstshown << '\n';
        else if (verb == "maximise" && frame)
            ShowWindow(frame->hwnd, SW_MAXIMIZE);
        else if (verb == "endmenu")
            EndMenu();
        else if (verb == "toolbarsize")
            CTRLBAR::setsizing(std::stoi(argument));
        else if (verb == "close" && frame)
            winqt::widgetof(frame->hwnd)->close();
        else if (verb == "autosave") {
            // A day further on each time: every step is a new interval of work.
            const long long ahead = ++autosaves * 24 * 3600;
            process->setclock([ahead] { return static_cast<long long>(std::time(nullptr)) + ahead; });
            process->setactive();
        } else if (verb == "kill")
            std::raise(SIGKILL);
    }

    bool checked() const
    {
        std::error_code error;
        return std::filesystem::exists(toposixpath(process->getcheckedpath()), error);
    }

    void walk(const std::string& file)
    {
        walking = true;
        const std::vector<std::string> lines = walkcommands(
            process, [] { return boxes.size(); }, [](size_t i) { return oneline(boxes[i]); });
        walking = false;
        std::ofstream out(file, std::ios::app);
        out << "--\n";
        for (const std::string& line : lines)
            out << "command=" << line << '\n';
    }

    void report(const std::string& file)
    {
        std::ofstream out(file, std::ios::app);
        APPLNFRAME* frame = process->getframe(0);
        TOOLBAR* toolbar = frame ? globaltoolbar(frame) : nullptr;
        auto* base = dynamic_cast<APPLNPROJECT*>(project());
        // The tests' stand-in of the schematic module keeps its design as text; the module itself
        // does not.
        auto* server
            = static_cast<IDOCSERVER*>(process->findmodule("TAVI") ? process->getmoduleinterface("TAVI", 3) : nullptr);
        auto* design = server ? dynamic_cast<RECORDINGDOCUMENT*>(server->getdocument()) : nullptr;
        out << "--\n";
        out << "frames=" << process->numframes() << '\n';
        out << "visible=" << (frame && IsWindowVisible(frame->hwnd)) << '\n';
        out << "toolbarbuttons=" << (toolbar ? toolbar->numbuttons() : -1) << '\n';
        out << "windows=" << (frame ? frame->numwindows() : -1) << '\n';
        out << "path=" << project()->getproperty("PATHNAME") << '\n';
        out << "file=" << project()->getproperty("FILENAME") << '\n';
        out << "dirty=" << (base ? base->isdirty() : -1) << '\n';
        out << "design=" << (design && design->getproject() ? design->text : "none") << '\n';
        APPLNWINDOW* active = frame ? frame->getactivewindow() : nullptr;
        APPLNMODULE* shown = active ? active->getparentmodule() : nullptr;
        out << "activemodule=" << (shown ? shown->getapplnname() : "none") << '\n';
        out << "sizing=" << CTRLBAR::getsizing() << '\n';
        out << "screenshot=" << screenshot << '\n';
        out << "splash=" << splash << '\n';
        char caption[1024] = "";
        if (frame)
            GetWindowTextA(frame->hwnd, caption, sizeof caption);
        out << "caption=" << caption << '\n';
        out << "autosave=" << toposixpath(process->getautosavepath()) << '\n';
        out << "wmclass=" << wmclass(frame) << '\n';
        if (QWidget* widget = frame ? winqt::widgetof(frame->hwnd) : nullptr) {
            const auto text = [](const QRect& r) {
                return std::to_string(r.x()) + "," + std::to_string(r.y()) + "," + std::to_string(r.width()) + ","
                    + std::to_string(r.height());
            };
            out << "framegeometry=" << text(widget->frameGeometry()) << '\n';
            if (QScreen* screen = widget->screen())
                out << "available=" << text(screen->availableGeometry()) << '\n';
        }
        if (process->findmodule("ZMVDEBUG"))
            for (const std::string& call : static_cast<RECORDINGHOST*>(process->getmoduleinterface("ZMVDEBUG", 14))->calls)
                out << "host=" << call << '\n';
        for (const std::string& box : boxes)
            out << "box=" << oneline(box) << '\n';
        boxes.clear();
    }

    // The instance and class names the window system knows the frame by ("instance,class"); ""
    // off the X window system.
    static std::string wmclass(APPLNFRAME* frame)
    {
        auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
        QWidget* widget = frame ? winqt::widgetof(frame->hwnd) : nullptr;
        if (QGuiApplication::platformName() != "xcb" || !x11 || !x11->connection() || !widget)
            return "";
        xcb_connection_t* connection = x11->connection();
        const auto window = static_cast<xcb_window_t>(widget->window()->winId());
        xcb_get_property_reply_t* reply = xcb_get_property_reply(connection,
            xcb_get_property(connection, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256), nullptr);
        if (!reply)
            return "";
        std::string names(static_cast<const char*>(xcb_get_property_value(reply)),
            static_cast<size_t>(xcb_get_property_value_length(reply)));
        free(reply);
        if (!names.empty() && names.back() == '\0')
            names.pop_back();
        std::replace(names.begin(), names.end(), '\0', ',');
        return names;
    }

    // The bar sits inside the frame's top rebar, among the frame's descendants.
    static TOOLBAR* globaltoolbar(APPLNFRAME* frame) { return toolbarbelow(frame->hwnd); }

    static TOOLBAR* toolbarbelow(HWND window)
    {
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            auto* toolbar = dynamic_cast<TOOLBAR*>(BASEWIN::fromhandle(child));
            if (toolbar && GetDlgCtrlID(child) == 4096)
                return toolbar;
            if (TOOLBAR* below = toolbarbelow(child))
                return below;
        }
        return nullptr;
    }

    // Notes the moment the program's first frame is shown.
    class FIRSTSHOW : public QObject {
    public:
        explicit FIRSTSHOW(PROBE& owner)
            : probe(owner)
        {
        }
        bool eventFilter(QObject* object, QEvent* event) override
        {
            APPLNFRAME* frame = probe.process->getframe(0);
            if (!probe.firstshown && event->type() == QEvent::Show && frame && object == winqt::widgetof(frame->hwnd)) {
                timespec now {};
                clock_gettime(CLOCK_MONOTONIC, &now);
                probe.firstshown = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
            }
            return false;
        }

    private:
        PROBE& probe;
    };

    std::vector<std::string> steps;
    long long firstshown = 0;
    FIRSTSHOW firstshow { *this };
    QTimer timer;
    std::chrono::steady_clock::time_point resume;
    std::chrono::steady_clock::time_point checkwait;
    long long autosaves = 0;
    std::string screenshot = "none";
    std::string splash = "none";
    bool walking = false;
    MESSAGEBOXHOOK previoushook = nullptr;
};

} // namespace

extern "C" APPLNMODULE* createmoduleinstance(APPLNPROCESS* process, const char*)
{
    return new PROBE(process);
}

extern "C" void deletemoduleinstance(APPLNMODULE* module)
{
    delete module;
}
