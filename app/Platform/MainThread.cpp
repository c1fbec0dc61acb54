#include "Platform/MainThread.h"

#if defined(KESTROVE_THREAD_CHECKS)

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace kestrove {

void assertMainThread()
{
    static std::atomic<std::thread::id> mainThread{};
    const std::thread::id self = std::this_thread::get_id();
    std::thread::id expected{};
    if (mainThread.compare_exchange_strong(expected, self) || expected == self) {
        return;
    }
    std::fputs("kestrove: main-thread-only code called from another thread\n", stderr);
    std::abort();
}

} // namespace kestrove

#endif
