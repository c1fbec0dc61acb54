#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Date.h"

namespace kestrove {

class Clock;

// What the desktop is asked to show: an immediate notification that replaces any earlier one
// with the same identifier.
struct NotificationRequest
{
    enum class InterruptionLevel
    {
        passive,
        active
    };

    std::string identifier;
    std::string title;
    std::string body;
    std::string categoryIdentifier;
    bool playsSound = false;
    InterruptionLevel interruptionLevel = InterruptionLevel::active;

    bool operator==(const NotificationRequest&) const = default;
};

struct NotificationAction
{
    std::string identifier;
    std::string title;
    bool foreground = false; // brings the application forward
};

struct NotificationCategory
{
    std::string identifier;
    std::vector<NotificationAction> actions;
};

// The program's notifications: time up for a focus task, the daily summary and the nudge to
// assign unassigned deep work, and the user's answers routed back as callbacks. The texts and
// identifiers are built here; a subclass carries them to the desktop. Main thread only.
class NotificationPresenter
{
public:
    // The user clicked the notification itself rather than one of its buttons.
    static constexpr std::string_view kDefaultAction = "default";

    // Where answers go. A time-up answer carries the id of the task it was posted for, so the
    // engine can ignore an answer that arrives after that task ended.
    struct Handlers
    {
        std::function<void(const std::string& focusTaskID)> timeUpDone;
        std::function<void(const std::string& focusTaskID)> timeUpExtend15;
        std::function<void()> showShare;     // the share sheet on the dashboard's today page
        std::function<void()> showDashboard; // the dashboard's today page
    };

    explicit NotificationPresenter(const Clock& clock) : m_clock(clock) {}
    virtual ~NotificationPresenter() = default;
    NotificationPresenter(const NotificationPresenter&) = delete;
    NotificationPresenter& operator=(const NotificationPresenter&) = delete;

    // The three categories and their buttons.
    static const std::vector<NotificationCategory>& categories();

    void setHandlers(Handlers handlers) { m_handlers = std::move(handlers); }

    // Registers the categories and starts listening for answers. Once, before the first post.
    virtual void install() = 0;

    // Asks the desktop at most once per process; `done` runs (on the main thread) when the
    // question is settled, at once when it already was.
    void requestAuthorizationIfNeeded(std::function<void()> done = {});
    bool authorizationRequested() const { return m_authorizationRequested; }

    void postTimeUp(const std::string& taskName, const std::string& focusTaskID);
    void postDailySummary(const std::string& body);
    // `hint` is empty when there is none.
    void postAssignNudge(std::int64_t minutes, const std::string& hint);

    static NotificationRequest timeUpRequest(const std::string& taskName,
                                             const std::string& focusTaskID);
    static NotificationRequest dailySummaryRequest(const std::string& body, Date now);
    static NotificationRequest assignNudgeRequest(std::int64_t minutes, const std::string& hint);

protected:
    // Hands the request to the desktop; failures are logged there, never reported.
    virtual void post(const NotificationRequest& request) = 0;
    // Asks the desktop for permission (or finds out whether it can show anything) and calls
    // `done` when that is settled.
    virtual void requestAuthorization(std::function<void()> done) = 0;

    // Subclasses call this with the answer to a notification they posted: its request
    // identifier, category and the action chosen (kDefaultAction for a click on it).
    void route(std::string_view requestIdentifier, std::string_view category,
               std::string_view action) const;

private:
    const Clock& m_clock;
    Handlers m_handlers;
    bool m_authorizationRequested = false;
    bool m_authorizationSettled = false;
    std::vector<std::function<void()>> m_waitingForAuthorization;
};

} // namespace kestrove
