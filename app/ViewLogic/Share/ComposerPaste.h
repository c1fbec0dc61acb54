#pragma once

#include "Platform/BrowserScripting.h"
#include "Platform/Clipboard.h"
#include "Platform/Clock.h"
#include "Platform/KeySender.h"
#include "Platform/LifetimeGuard.h"
#include "Platform/Log.h"
#include "Platform/MainQueue.h"
#include "Platform/Scheduler.h"
#include "Platform/Workspace.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrove {

// After a post opened the site's composer in the browser, pastes the card from the clipboard
// into it: it waits until a known browser is in front with the composer in its active tab,
// checks again a second later, and sends Ctrl+V. A run stops at once when anything else sets
// the clipboard, and gives up 15 s after it started (on the monotonic clock, so a change of
// the wall clock neither ends nor prolongs it), leaving the card on the clipboard. Main thread.
class ComposerPaste
{
public:
    struct Services
    {
        Clipboard& clipboard;
        Workspace& workspace;
        BrowserScripting& scripting;
        KeySender& keys;
        Scheduler& scheduler;
        const Clock& clock;
        MainQueue& mainQueue;
    };

    enum class Outcome
    {
        pasted,
        keysNotSent,
        clipboardChanged,
        timedOut
    };

    static constexpr double kTimeoutSeconds = 15;
    static constexpr double kPollSeconds = 0.5;
    static constexpr double kSettleSeconds = 1.0;

    explicit ComposerPaste(Services services);
    ~ComposerPaste();
    ComposerPaste(const ComposerPaste&) = delete;
    ComposerPaste& operator=(const ComposerPaste&) = delete;

    // Starts a run for the card put on the clipboard when its change count was `changeCount`;
    // `done` learns how it ended.
    void attachClipboardImage(std::int64_t changeCount, std::function<void(Outcome)> done = {});
    std::size_t runningCount() const { return m_runs.size(); }

    // Whether the application is one of the browsers whose tab can hold the composer.
    static bool isKnownBrowser(const std::optional<std::string>& bundleID);
    // Whether a tab's address is the composer: one of the site's hosts, any case, and a path
    // under "/intent/" or "/compose/".
    static bool isComposerAddress(const std::optional<std::string>& address);

private:
    struct Run;

    void schedulePass(const std::shared_ptr<Run>& run, double delay,
                      void (ComposerPaste::*step)(const std::shared_ptr<Run>&));
    void retirePause(Run& run);
    void firstCheck(const std::shared_ptr<Run>& run);
    void secondCheck(const std::shared_ptr<Run>& run);
    void askComposer(const std::shared_ptr<Run>& run, const FrontmostApplication& front,
                     std::function<void(const std::shared_ptr<Run>&)> onComposer);
    void endPass(const std::shared_ptr<Run>& run);
    bool clipboardChanged(const std::shared_ptr<Run>& run);
    void finish(const std::shared_ptr<Run>& run, Outcome outcome);

    Services m_services;
    Log m_log{"share"};
    std::vector<std::shared_ptr<Run>> m_runs;
    LifetimeGuard m_guard;
};

} // namespace kestrove
