#include "Engine/FocusBridge.h"

#include "Platform/Log.h"
#include "Platform/Preferences.h"
#include "core/NumberFormat.h"

namespace kestrove {

namespace {

const Log kLog("focus-bridge");

// Runs `name` and logs the outcome. True when the program was launched.
bool runCommand(CommandRunner& runner, const std::string& name, const std::string& label,
                std::chrono::milliseconds timeout)
{
    const std::string prefix = "[" + label + "] ";
    const CommandOutcome outcome = runner.run(name, timeout);
    if (!outcome.launched) {
        kLog.error(prefix + "failed to launch command: " + outcome.failure);
        return false;
    }
    if (outcome.timedOut()) {
        kLog.error(prefix + "'" + Log::privateValue(name) + "' timed out after " +
                   NumberFormat::integer(timeout.count()) + " ms");
        return true;
    }
    if (*outcome.exitCode == 0) {
        kLog.info(prefix + "ran '" + Log::privateValue(name) + "' ok");
    } else {
        kLog.error(prefix + "'" + Log::privateValue(name) +
                   "' exit=" + NumberFormat::integer(*outcome.exitCode) +
                   " stderr=" + Log::privateValue(outcome.errorText));
    }
    return true;
}

std::string nameOrDefault(const Preferences& preferences, const char* key, const char* fallback)
{
    const auto name = preferences.string(key);
    return name && !name->empty() ? *name : std::string(fallback);
}

} // namespace

CommandFocusBridge::CommandFocusBridge(const Preferences& preferences, CommandRunner& runner,
                                       std::chrono::milliseconds timeout)
    : m_preferences(preferences), m_runner(runner), m_timeout(timeout)
{}

CommandFocusBridge::~CommandFocusBridge()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

std::string CommandFocusBridge::startShortcutName() const
{
    return nameOrDefault(m_preferences, kStartShortcutKey, kDefaultStartShortcut);
}

std::string CommandFocusBridge::endShortcutName() const
{
    return nameOrDefault(m_preferences, kEndShortcutKey, kDefaultEndShortcut);
}

void CommandFocusBridge::engage()
{
    if (!m_preferences.boolValue(kEnabledKey).value_or(false)) {
        kLog.debug("engage skipped — bridge disabled");
        return;
    }
    enqueue({Label::engage, startShortcutName()});
}

void CommandFocusBridge::disengage()
{
    if (!m_preferences.boolValue(kEnabledKey).value_or(false)) {
        kLog.debug("disengage skipped — bridge disabled");
        return;
    }
    enqueue({Label::disengage, endShortcutName()});
}

void CommandFocusBridge::waitUntilIdle()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
}

void CommandFocusBridge::enqueue(Job job)
{
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
        if (!m_worker.joinable()) {
            m_worker = std::thread([this] { workerLoop(); });
        }
    }
    m_changed.notify_all();
}

void CommandFocusBridge::workerLoop()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        // Commands already asked for still run when the program quits, so that a lockdown
        // ended at quit also switches the phone back.
        if (m_jobs.empty()) {
            return;
        }
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        lock.unlock();
        perform(job);
        lock.lock();
        m_busy = false;
        m_changed.notify_all();
    }
}

void CommandFocusBridge::perform(const Job& job)
{
    if (job.label == Label::engage) {
        m_startLaunched = runCommand(m_runner, job.name, "engage", m_timeout);
        return;
    }
    if (!m_startLaunched) {
        kLog.info("[disengage] skipped — the start command did not run");
        return;
    }
    m_startLaunched = false;
    runCommand(m_runner, job.name, "disengage", m_timeout);
}

} // namespace kestrove
