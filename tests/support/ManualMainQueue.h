#pragma once

#include "Platform/MainQueue.h"
#include "Platform/MainThread.h"

#include <deque>
#include <mutex>

namespace kestrove {

// A main queue that runs nothing until the test drains it.
class ManualMainQueue final : public MainQueue
{
public:
    void post(std::function<void()> work) override
    {
        std::lock_guard lock(m_mutex);
        m_work.push_back(std::move(work));
    }

    // Runs everything posted so far, and what that posts in turn. Returns how many ran.
    int drain()
    {
        assertMainThread();
        int count = 0;
        while (true) {
            std::function<void()> next;
            {
                std::lock_guard lock(m_mutex);
                if (m_work.empty()) {
                    return count;
                }
                next = std::move(m_work.front());
                m_work.pop_front();
            }
            next();
            ++count;
        }
    }

private:
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_work;
};

} // namespace kestrove
