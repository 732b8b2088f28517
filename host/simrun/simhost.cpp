#include "host/simrun/simhost.h"

#include "core/containers/dpa.h"
#include "platform/win/messagequeue.h"
#include "platform/win/messages.h"
#include "platform/win/structs.h"
#include "platform/win/window.h"
#include "simulator/kernel/activeevent.h"
#include "simulator/kernel/hostlink.h"

#include <cinttypes>
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

void printitem(double value, const char* after)
{
    fprintf(output, "%g%s", value, after);
}

void printitem(int64_t picoseconds, const char* after)
{
    fprintf(output, "%" PRId64 "ps%s", picoseconds, after);
}

void printitem(uint32_t state, const char* after)
{
    fprintf(output, "%02X%s", state, after);
}

// The time points and samples of a buffer event, one time point a line.
template <class TIME, class SAMPLE> void printbuffer(const DPA* table, const ACTIVEEVENT& event)
{
    uint32_t points = event.words[0];
    uint32_t channels = event.words[1];
    fprintf(output, " points=%u channels=%u\n", points, channels);
    const auto* times = static_cast<const TIME*>(activeaddress(table, event.ids[0]));
    const auto* samples = static_cast<const SAMPLE*>(activeaddress(table, event.ids[1]));
    for (uint32_t point = 0; times && samples && point < points; ++point) {
        fputs("    ", output);
        printitem(times[point], ":");
        for (uint32_t channel = 0; channel < channels; ++channel) {
            fputc(' ', output);
            printitem(samples[point * channels + channel], "");
        }
        fputc('\n', output);
    }
}

// What the host animates from each event of a tick: a reading, a state or pattern, a wire's
// voltage and current, a buffer of the tick's samples, a text.
void printevents(const DPA* table, const DPA* list)
{
    fprintf(output, "host events: %d\n", list ? list->count : 0);
    for (int i = 0; list && i < list->count; ++i) {
        const auto& event = *static_cast<const ACTIVEEVENT*>(list->items[i]);
        fprintf(output, "  event sheet=%08X id=%08X element=%u kind=%d", event.sheet, event.first,
            event.second, event.kind);
        switch (event.kind) {
        case ACTIVEEVENT::KIND_VALUE:
            fprintf(output, " value=%g\n", event.value);
            break;
        case ACTIVEEVENT::KIND_LOGICELEMENT:
        case ACTIVEEVENT::KIND_LOGIC:
        case ACTIVEEVENT::KIND_WIRESTATE:
        case ACTIVEEVENT::KIND_PINSTATE:
            fprintf(output, " state=%08X\n", event.words[0]);
            break;
        case ACTIVEEVENT::KIND_WIREVALUES:
            fprintf(output, " voltage=%g current=%g\n", event.value, event.extra);
            break;
        case ACTIVEEVENT::KIND_BUFFER:
            printbuffer<double, double>(table, event);
            break;
        case ACTIVEEVENT::KIND_LOGICBUFFER:
            printbuffer<int64_t, uint32_t>(table, event);
            break;
        case ACTIVEEVENT::KIND_TEXT: {
            const auto* text = static_cast<const char*>(activeaddress(table, event.words[0]));
            fprintf(output, " text=%s\n", text ? text : "");
            break;
        }
        default:
            fputc('\n', output);
            break;
        }
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
