#include "ViewLogic/Lockdown/LockdownOverlay.h"

#include "Platform/Clock.h"
#include "Platform/MainThread.h"
#include "Platform/Scheduler.h"

#include <algorithm>

namespace kestrove {

LockdownOverlay::LockdownOverlay(Scheduler& scheduler, const Clock& clock)
    : m_scheduler(scheduler), m_clock(clock)
{}

LockdownOverlay::~LockdownOverlay() = default;

void LockdownOverlay::show(const std::string& callout,
                           const std::optional<std::string>& blockedAppName,
                           std::function<void()> onAllow, std::function<void()> onDismiss,
                           std::function<void()> onBreakout)
{
    assertMainThread();
    m_log.info("show() called, screens=" +
               std::to_string(m_screens ? m_screens->screenCount() : 0));
    hide();
    m_pendingOnDismiss = std::move(onDismiss);
    m_presentation = Presentation::wall;
    m_presentationGuard = std::make_unique<LifetimeGuard>();
    const LifetimeGuard& guard = *m_presentationGuard;

    OverlayScreens::WallActions actions;
    if (onAllow) {
        actions.allow = guard.wrap<>([this, onAllow = std::move(onAllow)] {
            auto action = onAllow;
            m_pendingOnDismiss = nullptr;
            hide();
            action();
        });
    }
    actions.dismiss = guard.wrap<>([this] {
        auto action = std::exchange(m_pendingOnDismiss, nullptr);
        hide();
        if (action) {
            action();
        }
    });
    actions.breakOut = guard.wrap<>([this, onBreakout = std::move(onBreakout)] {
        auto action = onBreakout;
        m_pendingOnDismiss = nullptr;
        hide();
        if (action) {
            action();
        }
    });
    actions.breakOutCardShown =
        guard.wrap<int, bool>([this](int screen, bool shown) { breakOutCardShown(screen, shown); });

    const WallContent content{callout, blockedAppName, static_cast<bool>(actions.allow)};
    if (m_screens) {
        m_screens->showWall(content, std::move(actions));
    }
    startDismissTimer(kAutoDismiss);
}

void LockdownOverlay::showTimeUp(const std::string& taskName, std::function<void()> onDone,
                                 std::function<void(long long minutes)> onExtend)
{
    assertMainThread();
    m_log.info("showTimeUp() called, task=" + Log::privateValue(taskName));
    m_pendingOnDismiss = nullptr;
    hide();
    m_presentation = Presentation::timeUp;
    m_presentationGuard = std::make_unique<LifetimeGuard>();
    const LifetimeGuard& guard = *m_presentationGuard;

    OverlayScreens::TimeUpActions actions;
    actions.done = guard.wrap<>([this, onDone = std::move(onDone)] {
        auto action = onDone;
        hide();
        if (action) {
            action();
        }
    });
    actions.extend =
        guard.wrap<long long>([this, onExtend = std::move(onExtend)](long long minutes) {
            auto action = onExtend;
            hide();
            if (action) {
                action(minutes);
            }
        });
    if (m_screens) {
        m_screens->showTimeUp(taskName, std::move(actions));
    }
}

void LockdownOverlay::hide()
{
    assertMainThread();
    m_dismissTimer.reset();
    m_breakOutScreens.clear();
    if (m_presentation == Presentation::none) {
        return;
    }
    m_presentation = Presentation::none;
    // The windows' actions die with the presentation; an action that runs now copied what it
    // needs before it came here.
    m_presentationGuard.reset();
    if (m_screens) {
        m_screens->takeDown();
    }
}

void LockdownOverlay::startDismissTimer(TimeInterval seconds)
{
    m_dismissAt = m_clock.monotonic() + seconds;
    // Only the windows go: the dismiss action stays for the next wall to replace.
    m_dismissTimer = m_scheduler.once(seconds, [this] { hide(); });
}

void LockdownOverlay::breakOutCardShown(int screen, bool shown)
{
    if (m_presentation != Presentation::wall) {
        return;
    }
    const bool wasPaused = !m_breakOutScreens.empty();
    if (shown) {
        m_breakOutScreens.insert(screen);
    } else {
        m_breakOutScreens.erase(screen);
    }
    const bool paused = !m_breakOutScreens.empty();
    if (paused && !wasPaused && m_dismissTimer) {
        m_dismissLeft = std::max(0.0, m_dismissAt - m_clock.monotonic());
        m_dismissTimer.reset();
    } else if (!paused && wasPaused) {
        startDismissTimer(m_dismissLeft);
    }
}

} // namespace kestrove
