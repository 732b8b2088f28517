#include "host/simrun/simhost.h"

#include "core/containers/dpa.h"
#include "platform/win/messagequeue.h"
#include "platform/win/messages.h"
#include "platform/win/structs.h"
#include "platform/win/window.h"
#include "simulator/kernel/activeevent.h"
#include "simulator/kernel/hostlink.h"

#include <cstring>

namespace {

FILE* output = nullptr;
FILE* progress = nullptr;
bool barshown = false;
constexpr char BARPREFIX[] = "HELIXSIM : ";

void printtext(const char* text, size_t length)
{
    fprintf(output, "host text: %.*s\n", static_cast<int>(length), text);
    if (progress && length >= sizeof BARPREFIX - 1 && strncmp(text, BARPREFIX, sizeof BARPREFIX - 1) == 0) {
        fprintf(progress, "\r%.*s", static_cast<int>(length - (sizeof BARPREFIX - 1)),
            text + sizeof BARPREFIX - 1);
        fflush(progress);
        barshown = true;
    }
}

void printevents(const DPA* texts, const DPA* list)
{
    fprintf(output, "host events: %d\n", list ? list->count : 0);
    for (int i = 0; list && i < list->count; ++i) {
        const auto* event = static_cast<const ACTIVEEVENT*>(list->items[i]);
        fprintf(output, "  event sheet=%08X id=%08X element=%u kind=%d", event->sheet, event->first, event->second,
            event->kind);
        if (event->kind == ACTIVEEVENT::KIND_VALUE)
            fprintf(output, " value=%g", event->value);
        else if (event->kind == ACTIVEEVENT::KIND_TEXT) {
            const auto* text = static_cast<const char*>(activeaddress(texts, event->words[0]));
            fprintf(output, " text=%s", text ? text : "");
        }
        fputc('\n', output);
    }
}

LRESULT hostprocedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COPYDATA: {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data && data->dwData == WM_HOSTTEXT && data->lpData)
            printtext(static_cast<const char*>(data->lpData), data->cbData ? data->cbData - 1 : 0);
        return 1;
    }
    case WM_HOSTTEXT: {
        const char* text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        printtext(text, strlen(text));
        return 0;
    }
    case WM_HOSTEVENTS:
        printevents(reinterpret_cast<const DPA*>(wParam), reinterpret_cast<const DPA*>(lParam));
        return 0;
    case WM_HOSTPOPUP:
        fprintf(output, "host popup: %lX\n", static_cast<unsigned long>(wParam));
        return 0;
    case WM_HOSTELEMENT:
        fprintf(output, "host element: %lu %ld\n", static_cast<unsigned long>(wParam), static_cast<long>(lParam));
        return 0;
    case WM_HOSTMESSAGE:
        fprintf(output, "host message: %lu\n", static_cast<unsigned long>(wParam));
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

void showprogress(FILE* stream)
{
    progress = stream;
}

void endprogress()
{
    if (progress && barshown)
        fprintf(progress, "\r%*s\r", 50, "");
    barshown = false;
}

HWND createhostwindow(FILE* out)
{
    output = out;
    WNDCLASSEXA windowclass {};
    windowclass.cbSize = sizeof windowclass;
    windowclass.lpfnWndProc = hostprocedure;
    windowclass.lpszClassName = "SimulationHost";
    if (!RegisterClassExA(&windowclass))
        return nullptr;
    return CreateWindowExA(0, "SimulationHost", "Simulation host", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
}
