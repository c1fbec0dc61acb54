#pragma once

namespace kestrove {

// The engine, the stores and the tracker belong to the main thread; their entry points say so
// with assertMainThread(). The first thread to ask is the main thread (the program's main(),
// a test's own thread). The check is compiled in for debug and test builds only.
#if defined(KESTROVE_THREAD_CHECKS)
void assertMainThread();
#else
inline void assertMainThread() {}
#endif

} // namespace kestrove
