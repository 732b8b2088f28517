#include "simulator/kernel/stallwatch.h"

#include "platform/win/faults.h"

#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>

namespace {

constexpr int64_t NANOSECONDS = 1000000000;
// How often the timer looks: an eighth of the limit, within these bounds.
constexpr int64_t SHORTESTLOOK = NANOSECONDS / 100;
constexpr int64_t LONGESTLOOK = NANOSECONDS;

std::atomic<uint64_t> progress { 0 };
std::atomic<int> hostwaits { 0 };

// One run at a time; the handler only runs on the watched thread while `running` is set.
struct WATCH {
    std::atomic<bool> running { false };
    timer_t timer {};
    int64_t limit = 0;
    uint64_t seen = 0;
    int64_t lastchange = 0;
    void (*onstall)(uintptr_t) = nullptr;
    struct sigaction hostaction { };
};
WATCH watch;

// A real-time signal: the timer's own, which no other sender uses.
int watchsignal()
{
    return SIGRTMIN + 2;
}

int64_t monotonicnow()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * NANOSECONDS + now.tv_nsec;
}

void onlook(int, siginfo_t* info, void* context)
{
    if (info->si_code != SI_TIMER || !watch.running.load())
        return;
    const int64_t now = monotonicnow();
    const uint64_t count = progress.load(std::memory_order_relaxed);
    if (count != watch.seen || hostwaits.load(std::memory_order_relaxed) > 0) {
        watch.seen = count;
        watch.lastchange = now;
        return;
    }
    const int64_t stuck = now - watch.lastchange;
    const uintptr_t where = interruptedinstruction(context);
    if (stuck < watch.limit || (stuck < 2 * watch.limit && insystemlibrary(where)))
        return;
    watch.lastchange = now;
    watch.onstall(where);
}

} // namespace

void noteprogress()
{
    progress.fetch_add(1, std::memory_order_relaxed);
}

HOSTWAIT::HOSTWAIT()
{
    hostwaits.fetch_add(1, std::memory_order_relaxed);
}

HOSTWAIT::~HOSTWAIT()
{
    noteprogress();
    hostwaits.fetch_sub(1, std::memory_order_relaxed);
}

void startstallwatch(uint32_t seconds, void (*onstall)(uintptr_t))
{
    if (!seconds || watch.running.load())
        return;
    struct sigaction action { };
    action.sa_sigaction = onlook;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(watchsignal(), &action, &watch.hostaction);
    sigevent event {};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = watchsignal();
    event._sigev_un._tid = gettid();
    if (timer_create(CLOCK_MONOTONIC, &event, &watch.timer) != 0) {
        sigaction(watchsignal(), &watch.hostaction, nullptr);
        return;
    }
    watch.limit = int64_t { seconds } * NANOSECONDS;
    watch.seen = progress.load();
    watch.lastchange = monotonicnow();
    watch.onstall = onstall;
    watch.running = true;
    const int64_t look = std::clamp(watch.limit / 8, SHORTESTLOOK, LONGESTLOOK);
    const timespec every { static_cast<time_t>(look / NANOSECONDS), static_cast<long>(look % NANOSECONDS) };
    const itimerspec periods { every, every };
    timer_settime(watch.timer, 0, &periods, nullptr);
}

void stopstallwatch()
{
    if (!watch.running.load())
        return;
    watch.running = false;
    // A look already on its way is taken by the handler, which lets it pass, before the host's
    // handling returns.
    timer_delete(watch.timer);
    sigaction(watchsignal(), &watch.hostaction, nullptr);
}
