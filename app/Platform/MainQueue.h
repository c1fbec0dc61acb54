#pragma once

#include <functional>

namespace kestrove {

// Runs work on the main thread, in the order it was posted. The program posts through the Qt
// event loop; tests use a manual queue they drain themselves. post() is safe from any thread.
class MainQueue
{
public:
    virtual ~MainQueue() = default;
    virtual void post(std::function<void()> work) = 0;
};

} // namespace kestrove
