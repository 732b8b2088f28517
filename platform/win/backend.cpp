#include "platform/win/backend.h"

#include <atomic>
#include <mutex>

#include "platform/win/devicecontext.h"
#include "platform/win/windowtable.h"

namespace win {
namespace {

Backend fallback;
std::atomic<Backend*> current { &fallback };
std::mutex threadmutex;
std::thread::id owner;

} // namespace

std::vector<Monitor> Backend::monitors()
{
    return { Monitor { RECT { 0, 0, 1920, 1080 }, RECT { 0, 0, 1920, 1080 }, true, 96 } };
}

DeviceContext* Backend::creatememorydc(DeviceContext*)
{
    return new BitmapDC;
}

void setbackend(Backend* replacement)
{
    std::lock_guard lock(threadmutex);
    current = replacement ? replacement : &fallback;
    owner = replacement ? std::this_thread::get_id() : std::thread::id();
}

Backend& backend()
{
    return *current.load();
}

std::thread::id backendthread()
{
    std::lock_guard lock(threadmutex);
    return owner;
}

bool isbackendthread()
{
    return backendthread() == std::this_thread::get_id();
}

} // namespace win
