#pragma once

#include "Platform/CommandRunner.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace kestrove {

class Preferences;

// Switches the phone's Focus along with a lockdown by running the user's own commands. Both
// operations return at once; the outcome is only logged. Main thread only.
class FocusBridge
{
public:
    virtual ~FocusBridge() = default;
    virtual void engage() = 0;
    virtual void disengage() = 0;
};

// Runs the configured command names through the command runner, one at a time
// on one worker thread so that engage and disengage happen in the order they were asked for.
// The end command runs only when the start command of that lockdown was launched.
class CommandFocusBridge final : public FocusBridge
{
public:
    static constexpr const char* kEnabledKey = "iPhoneFocusEnabled";
    static constexpr const char* kStartShortcutKey = "iPhoneFocusStartShortcut";
    static constexpr const char* kEndShortcutKey = "iPhoneFocusEndShortcut";
    static constexpr const char* kDefaultStartShortcut = "Kestrove Start";
    static constexpr const char* kDefaultEndShortcut = "Kestrove End";
    static constexpr std::chrono::milliseconds kDefaultTimeout{30'000};

    CommandFocusBridge(const Preferences& preferences, CommandRunner& runner,
                       std::chrono::milliseconds timeout = kDefaultTimeout);
    // Lets the commands already asked for finish (each within its time-out).
    ~CommandFocusBridge() override;

    void engage() override;
    void disengage() override;

    std::string startShortcutName() const;
    std::string endShortcutName() const;

    // Blocks until every command asked for so far has finished; for tests and shutdown.
    void waitUntilIdle();

private:
    enum class Label
    {
        engage,
        disengage
    };
    struct Job
    {
        Label label;
        std::string name;
    };

    void enqueue(Job job);
    void workerLoop();
    void perform(const Job& job);

    const Preferences& m_preferences;
    CommandRunner& m_runner;
    const std::chrono::milliseconds m_timeout;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs;
    bool m_busy = false;
    bool m_stopping = false;
    bool m_startLaunched = false; // worker thread only
    std::thread m_worker;
};

} // namespace kestrove
