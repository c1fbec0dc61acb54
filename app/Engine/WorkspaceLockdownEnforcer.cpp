#include "Engine/WorkspaceLockdownEnforcer.h"

#include "Platform/Clock.h"
#include "Platform/MainThread.h"
#include "Platform/Scheduler.h"
#include "core/AppIdentity.h"
#include "core/PrivacyPolicy.h"
#include "core/Text.h"
#include "core/Uuid.h"

#include <algorithm>

namespace kestrove {

namespace {

constexpr const char* kFallbackCallout = "Get back. The work compounds.";

// The desktop's own pieces, as the workspace names them: panels and docks, screen lockers.
const std::set<std::string>& desktopShellBundleIDs()
{
    static const std::set<std::string> ids = {
        // panels and docks
        "xfce4-panel", "lxpanel", "lxqt-panel", "mate-panel", "plank", "tint2", "polybar",
        "cairo-dock", "latte-dock", "org.kde.plasmashell", "plasmashell", "gnome-panel",
        "budgie-panel", "org.gnome.shell", "docky",
        // screen lockers
        "xscreensaver", "light-locker", "i3lock", "slock", "xsecurelock", "xfce4-screensaver",
        "mate-screensaver", "cinnamon-screensaver", "gnome-screensaver", "kscreenlocker_greet",
        "org.kde.kscreenlocker_greet"};
    return ids;
}

std::string joined(const std::set<std::string>& entries)
{
    std::string result;
    for (const auto& entry : entries) {
        result += (result.empty() ? "" : ", ") + entry;
    }
    return result;
}

bool isDesktopShellWindow(const FrontmostApplication& app)
{
    return app.windowType != WindowType::normal;
}

} // namespace

const std::vector<std::string>& WorkspaceLockdownEnforcer::callouts()
{
    static const std::vector<std::string> lines = {
        "Bro. What are you doing.",
        "This is not the work.",
        "You said this mattered an hour ago.",
        "Do you want to fry your brain or do you want to reach your goals?",
        "The work is over there. Not here.",
        "Your future self is watching.",
        "Five more deep minutes beats fifty shallow ones.",
        "You're closer than you think. Stay in.",
        "The dopamine isn't worth the deferral.",
        "YouTube is still there in 25 minutes.",
        "This is the part where most people quit.",
        "You picked the apps. Honor the picker.",
        "Discomfort is the price.",
        "Cheap exits are expensive in aggregate.",
        kFallbackCallout,
    };
    return lines;
}

const std::set<std::string>& WorkspaceLockdownEnforcer::morningGateBundleIDs()
{
    static const std::set<std::string> ids = [] {
        auto all = desktopShellBundleIDs();
        all.insert(Text::lowercased(kOwnBundleID));
        return all;
    }();
    return ids;
}

const std::set<std::string>& WorkspaceLockdownEnforcer::systemEssentialBundleIDs()
{
    static const std::set<std::string> ids = [] {
        auto all = morningGateBundleIDs();
        // file managers
        for (const char* id : {"org.gnome.nautilus", "nautilus", "thunar", "pcmanfm", "pcmanfm-qt",
                               "nemo", "caja", "org.kde.dolphin", "dolphin"}) {
            all.insert(id);
        }
        // the system settings
        for (const char* id : {"org.gnome.settings", "gnome-control-center",
                               "xfce4-settings-manager", "systemsettings", "org.kde.systemsettings",
                               "lxqt-config", "mate-control-center", "cinnamon-settings"}) {
            all.insert(id);
        }
        return all;
    }();
    return ids;
}

WorkspaceLockdownEnforcer::WorkspaceLockdownEnforcer(Workspace& workspace, Scheduler& scheduler,
                                                     const Clock& clock, Hider& hider,
                                                     LockdownOverlayController& overlay)
    : m_workspace(workspace), m_scheduler(scheduler), m_clock(clock), m_hider(hider),
      m_overlay(overlay), m_mode(LockdownMode::focusTask(Uuid::generate()))
{}

WorkspaceLockdownEnforcer::~WorkspaceLockdownEnforcer()
{
    stopWatching();
}

void WorkspaceLockdownEnforcer::stopWatching()
{
    if (m_activationObserver) {
        m_workspace.removeActivationObserver(*m_activationObserver);
        m_activationObserver.reset();
    }
    m_enforcementTimer.reset();
}

void WorkspaceLockdownEnforcer::engage(const std::vector<std::string>& allowlist,
                                       const LockdownMode& mode)
{
    assertMainThread();
    // The morning gate's preview must not replace a running task's lockdown: ending the task
    // would then leave nothing to end the wall's, and the task's blocks would go unrecorded.
    if (mode.kind == LockdownMode::Kind::morningGate && m_isEngaged &&
        m_mode.kind == LockdownMode::Kind::focusTask) {
        m_log.info("morning-gate lockdown refused: a focus task's lockdown runs");
        return;
    }
    // A second engage replaces the first: its observer and poll go before new ones come.
    stopWatching();

    m_allowlist.clear();
    for (const auto& id : allowlist) {
        // An empty entry would prefix every identifier and allow everything.
        if (auto lower = Text::lowercased(id); !lower.empty()) {
            m_allowlist.insert(std::move(lower));
        }
    }
    m_mode = mode;
    m_activeFocusTaskID = mode.kind == LockdownMode::Kind::focusTask
                              ? std::optional<std::string>(mode.focusTaskID)
                              : std::nullopt;
    m_lastAllowedApp.reset();
    m_isEngaged = true;

    m_activationObserver = m_workspace.addActivationObserver(
        m_guard.wrap<const FrontmostApplication&>([this](const FrontmostApplication& app) {
            m_log.info("observer fired bid=" + app.bundleID.value_or("<nil>"));
            handleActivation(app);
        }));
    m_enforcementTimer =
        m_scheduler.repeating(kPollInterval, m_guard.wrap<>([this] { pollFrontmost(); }));

    m_log.info(std::string("engaged mode=") +
               (mode.kind == LockdownMode::Kind::morningGate ? "morningGate" : "focusTask") +
               " with " + std::to_string(m_allowlist.size()) + " allowed apps");
}

void WorkspaceLockdownEnforcer::disengage()
{
    assertMainThread();
    if (!m_isEngaged) {
        return;
    }
    stopWatching();
    m_isEngaged = false;
    m_allowlist.clear();
    m_lastAllowedApp.reset();
    m_activeFocusTaskID.reset();
    m_mode = LockdownMode::focusTask(Uuid::generate());
    m_currentCallout.reset();
    m_currentBlockedBundleID.reset();
    m_lastHideAttemptAt.clear();
    m_log.info("disengaged");
}

bool WorkspaceLockdownEnforcer::isAllowed(const std::optional<std::string>& bundleID) const
{
    if (!bundleID) {
        return true;
    }
    const std::string id = Text::lowercased(*bundleID);
    if (m_mode.kind == LockdownMode::Kind::morningGate) {
        return morningGateBundleIDs().contains(id);
    }
    if (systemEssentialBundleIDs().contains(id)) {
        return true;
    }
    return std::any_of(m_allowlist.begin(), m_allowlist.end(),
                       [&](const std::string& entry) { return id.starts_with(entry); });
}

void WorkspaceLockdownEnforcer::addToAllowlist(const std::string& bundleID)
{
    assertMainThread();
    if (!m_isEngaged) {
        return;
    }
    const std::string id = Text::lowercased(bundleID);
    if (id.empty() || m_allowlist.contains(id)) {
        return;
    }
    m_allowlist.insert(id);
    m_log.info("live-added " + id + " to allowlist (now " + std::to_string(m_allowlist.size()) +
               " apps)");
    if (m_currentBlockedBundleID && Text::lowercased(*m_currentBlockedBundleID) == id) {
        m_currentBlockedBundleID.reset();
        if (m_overlay.isShown()) {
            m_overlay.hide();
        }
    }
}

void WorkspaceLockdownEnforcer::removeFromAllowlist(const std::string& bundleID)
{
    assertMainThread();
    if (!m_isEngaged || !m_allowlist.erase(Text::lowercased(bundleID))) {
        return;
    }
    m_log.info("live-removed " + Text::lowercased(bundleID) + " from allowlist (now " +
               std::to_string(m_allowlist.size()) + " apps)");
}

std::vector<std::string> WorkspaceLockdownEnforcer::allowlist() const
{
    return {m_allowlist.begin(), m_allowlist.end()};
}

void WorkspaceLockdownEnforcer::pollFrontmost()
{
    if (!m_isEngaged) {
        return;
    }
    const auto app = m_workspace.frontmostApplication();
    if (!app || !app->bundleID || isDesktopShellWindow(*app) || isAllowed(app->bundleID)) {
        return;
    }
    m_log.info("poll caught " + *app->bundleID + " frontmost");
    handleActivation(app);
}

void WorkspaceLockdownEnforcer::handleActivation(const std::optional<FrontmostApplication>& app)
{
    if (!m_isEngaged || !app) {
        return;
    }
    if (m_hooks.isTimeUpShown && m_hooks.isTimeUpShown()) {
        return;
    }
    // Panels, docks and the desktop background are part of the desktop, never a way out.
    if (isDesktopShellWindow(*app)) {
        return;
    }
    const auto& bid = app->bundleID;
    if (isAllowed(bid)) {
        if (bid != std::optional<std::string>(kOwnBundleID)) {
            m_lastAllowedApp = *app;
        }
        if (m_overlay.isShown()) {
            m_log.info("allowed app activated (" + bid.value_or("<nil>") +
                       ") — dismissing overlay");
            m_currentBlockedBundleID.reset();
            m_overlay.hide();
        }
        return;
    }
    if (m_mode.kind == LockdownMode::Kind::morningGate) {
        m_log.info("gate blocked " + *bid + " → evict");
        m_currentBlockedBundleID = *bid;
        FrontmostApplication own;
        own.bundleID = std::string(kOwnBundleID);
        evictBlocker(*bid, own);
        if (m_hooks.reassertMorningWall) {
            m_hooks.reassertMorningWall();
        }
        return;
    }
    blockInFocusTask(*app, *bid);
}

void WorkspaceLockdownEnforcer::blockInFocusTask(const FrontmostApplication& app,
                                                 const std::string& bid)
{
    m_log.info("block-check bid=" + bid + " allowlist=[" + joined(m_allowlist) +
               "] ownBundleID=" + std::string(kOwnBundleID));
    m_log.info("blocked " + bid + " → show overlay (no evict until dismiss)");
    if (m_currentBlockedBundleID == bid && m_overlay.isShown()) {
        return;
    }
    m_currentBlockedBundleID = bid;
    std::uniform_int_distribution<std::size_t> pick(0, callouts().size() - 1);
    m_currentCallout = callouts()[pick(m_random)];
    if (m_activeFocusTaskID && m_onBlock) {
        m_onBlock(bid, *m_activeFocusTaskID);
    }

    auto onAllow = m_guard.wrap<>([this, bid] {
        m_currentBlockedBundleID.reset();
        if (m_hooks.allowApplication) {
            m_hooks.allowApplication(bid);
        }
        m_log.info("user allowed " + bid + " from the wall");
    });
    auto onDismiss = m_guard.wrap<>([this] {
        m_currentBlockedBundleID.reset();
        forceRefocusIfBlocked();
    });
    auto onBreakout = m_guard.wrap<>([this] {
        if (m_hooks.breakOut) {
            m_hooks.breakOut();
        }
    });
    m_overlay.show(m_currentCallout.value_or(kFallbackCallout), app.localizedName,
                   std::move(onAllow), std::move(onDismiss), std::move(onBreakout));
}

void WorkspaceLockdownEnforcer::forceRefocusIfBlocked()
{
    if (!m_isEngaged) {
        return;
    }
    const auto front = m_workspace.frontmostApplication();
    if (!front || isDesktopShellWindow(*front) || isAllowed(front->bundleID)) {
        return;
    }
    const auto target = m_lastAllowedApp ? m_lastAllowedApp->bundleID : std::nullopt;
    m_log.info("dismiss-time refocus off " + *front->bundleID + " → " +
               target.value_or("<no target>"));
    evictBlocker(*front->bundleID, m_lastAllowedApp);
}

void WorkspaceLockdownEnforcer::evictBlocker(const std::string& bundleID,
                                             const std::optional<FrontmostApplication>& refocusTo)
{
    const TimeInterval now = m_clock.monotonic();
    if (const auto last = m_lastHideAttemptAt.find(bundleID);
        last != m_lastHideAttemptAt.end() && now - last->second < kHideThrottle) {
        return;
    }
    // Stored before the safety check, so that a refused identifier is throttled too.
    m_lastHideAttemptAt[bundleID] = now;
    if (!PrivacyPolicy::isSafeBundleID(bundleID)) {
        m_log.error("refusing to script an unsafe bundle id (" +
                    std::to_string(Text::characterCount(bundleID)) + " chars)");
        return;
    }
    Hider::Request request;
    request.bundleID = bundleID;
    if (refocusTo && refocusTo->bundleID && PrivacyPolicy::isSafeBundleID(*refocusTo->bundleID)) {
        request.refocusTo = refocusTo->bundleID;
        request.refocusWindow = refocusTo->window;
    }
    m_hider.hide(
        std::move(request),
        m_guard.wrap<const Hider::Outcome&>([this, bundleID](const Hider::Outcome& outcome) {
            if (outcome.hidden) {
                m_log.info("hide ok for " + bundleID);
            } else {
                m_log.error("hide failed for " + bundleID + ": " +
                            (outcome.detail.empty() ? "<no description>" : outcome.detail));
            }
        }));
}

} // namespace kestrove
