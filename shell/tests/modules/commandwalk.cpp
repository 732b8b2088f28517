#include "shell/tests/modules/commandwalk.h"

#include <QApplication>
#include <QDesktopServices>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <cstdio>

#include "framework/appln/applnprocess.h"
#include "framework/context/windowmessages.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/window.h"
#include "shell/project/ivktproject.h"

namespace {

// What the desktop is asked to open, kept in place of opening it.
class URLKEEPER : public QObject {
    Q_OBJECT

public:
    std::vector<std::string> opened;

public slots:
    void open(const QUrl& url) { opened.push_back(url.toLocalFile().toStdString()); }
};

struct STATE {
    size_t boxes;
    size_t urls;
    int windows;
    std::string path;
};

} // namespace

std::vector<std::string> walkcommands(APPLNPROCESS* process, const std::function<size_t()>& boxesshown,
    const std::function<std::string(size_t)>& boxtext)
{
    URLKEEPER urls;
    QDesktopServices::setUrlHandler("file", &urls, "open");
    // Dialogs a command opens are noted and closed, as a user who looked and cancelled.
    std::vector<std::string> dialogs;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            dialogs.push_back(modal->windowTitle().toStdString());
            modal->close();
            return;
        }
        // A resource form runs its own loop in a window of its own.
        APPLNFRAME* shown = process->getframe(0);
        HWND active = GetActiveWindow();
        if (active && shown && GetAncestor(active, GA_ROOT) != shown->hwnd) {
            char title[256] = "";
            GetWindowTextA(active, title, sizeof title);
            dialogs.push_back(title);
            SendMessageA(active, WM_CLOSE, 0, 0);
        }
    });
    closer.start(50);

    APPLNFRAME* frame = process->getframe(0);
    auto* project = static_cast<IVKTPROJECT*>(process->getmoduleinterface(nullptr, 2));
    const auto state = [&] {
        return STATE { boxesshown(), urls.opened.size(), frame ? frame->numwindows() : 0,
            project->getproperty("PATHNAME") };
    };

    std::vector<unsigned short> commands;
    CMDINFOTABLE* table = process->getcmdinfotable();
    for (int i = 0; i < table->count(); ++i) {
        const CMDINFO* info = table->item(i);
        if (info->id && info->context >= 0x100 && info->context <= 0x105 && !info->isseparator() && info->id != 315)
            commands.push_back(info->id);
    }
    commands.push_back(315);

    std::vector<std::string> lines;
    for (unsigned short id : commands) {
        UISTATE ui { 1, 0 };
        process->getuistate(id, &ui);
        const STATE before = state();
        dialogs.clear();
        SendMessageA(frame->hwnd, WM_FRAMECOMMAND, id, 0);
        std::string outcome;
        const auto add = [&](const std::string& what) { outcome += (outcome.empty() ? "" : " | ") + what; };
        if (process->isquitpending() || !process->numframes()) {
            add("quit");
        } else {
            const STATE after = state();
            for (size_t b = before.boxes; b < after.boxes; ++b)
                add("box:" + boxtext(b));
            for (const std::string& title : dialogs)
                add("dialog:" + title);
            for (size_t u = before.urls; u < after.urls; ++u)
                add("url:" + urls.opened[u]);
            if (after.windows != before.windows)
                add("windows:" + std::to_string(after.windows));
            if (after.path != before.path)
                add("path:" + after.path);
        }
        char head[32];
        std::snprintf(head, sizeof head, "%04X %d ", id, ui.enabled ? 1 : 0);
        lines.push_back(head + (outcome.empty() ? std::string("none") : outcome));
    }
    QDesktopServices::unsetUrlHandler("file");
    return lines;
}

#include "commandwalk.moc"
