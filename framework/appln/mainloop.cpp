#include <QCoreApplication>
#include <cfenv>

#include "framework/appln/applnprocess.h"
#include "platform/win/messagequeue.h"

namespace {

bool isuseractivity(UINT message)
{
    return (message >= WM_KEYFIRST && message <= 0x0109) || (message >= 0x0201 && message <= 0x020D);
}

} // namespace

BOOL APPLNPROCESS::filter(MSG* message)
{
    APPLNPROCESS* process = getapplnprocess();
    if (!process)
        return FALSE;
    INPUTHANDLER* handler = process->currentinputhandler;
    BOOL consumed = handler ? handler->translate(message) : FALSE;
    if (isuseractivity(message->message))
        process->onsessionactive();
    return consumed;
}

void APPLNPROCESS::mainloop()
{
    win::MessageFilter previousfilter = win::setmessagefilter(filter);
    for (;;) {
        INPUTHANDLER* handler = currentinputhandler ? currentinputhandler : &inputhandler;
        do {
            win::setmessagefilter(filter);
        } while (handler->getmessage(0));

        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        poll();
        onidle();

        if (quitpending) {
            if (!frames.count)
                break;
            quit(1);
            continue;
        }
        if (frametoclose) {
            APPLNFRAME* frame = frametoclose;
            frametoclose = nullptr;
            frame->close(0);
            continue;
        }
        APPLNWINDOW* window = getactivewindow();
        if (window && window->getparentmodule()) {
            // A module may change the floating-point modes; the loop keeps its own.
            std::fenv_t modes;
            std::fegetenv(&modes);
            window->getparentmodule()->pumpmessages(window, 1);
            std::fesetenv(&modes);
            continue;
        }
        handler->getmessage(1);
    }
    win::setmessagefilter(previousfilter);
}
