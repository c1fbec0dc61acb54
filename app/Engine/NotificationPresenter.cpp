#include "Engine/NotificationPresenter.h"

#include <cmath>

#include "Platform/Clock.h"
#include "core/NumberFormat.h"

namespace kestrove {

namespace {

constexpr std::string_view kTimeUp = "timeUp";
constexpr std::string_view kDaySummary = "daySummary";
constexpr std::string_view kAssign = "assign";
constexpr std::string_view kTimeUpPrefix = "timeup-";

void call(const std::function<void()>& handler)
{
    if (handler) {
        handler();
    }
}

void call(const std::function<void(const std::string&)>& handler, const std::string& argument)
{
    if (handler) {
        handler(argument);
    }
}

} // namespace

const std::vector<NotificationCategory>& NotificationPresenter::categories()
{
    static const std::vector<NotificationCategory> all = {
        {std::string(kTimeUp), {{"done", "I'm done", true}, {"extend15", "+15 min", false}}},
        {std::string(kDaySummary),
         {{"share", "Share card", true}, {"dashboard", "Open dashboard", true}}},
        {std::string(kAssign), {{"assign", "Assign", true}}},
    };
    return all;
}

void NotificationPresenter::requestAuthorizationIfNeeded(std::function<void()> done)
{
    if (m_authorizationSettled) {
        call(done);
        return;
    }
    if (done) {
        m_waitingForAuthorization.push_back(std::move(done));
    }
    if (m_authorizationRequested) {
        return; // already asked; this caller waits for the same answer
    }
    m_authorizationRequested = true;
    requestAuthorization([this] {
        m_authorizationSettled = true;
        auto waiting = std::move(m_waitingForAuthorization);
        m_waitingForAuthorization.clear();
        for (const auto& callback : waiting) {
            callback();
        }
    });
}

void NotificationPresenter::postTimeUp(const std::string& taskName, const std::string& focusTaskID)
{
    post(timeUpRequest(taskName, focusTaskID));
}

void NotificationPresenter::postDailySummary(const std::string& body)
{
    post(dailySummaryRequest(body, m_clock.now()));
}

void NotificationPresenter::postAssignNudge(std::int64_t minutes, const std::string& hint)
{
    post(assignNudgeRequest(minutes, hint));
}

NotificationRequest NotificationPresenter::timeUpRequest(const std::string& taskName,
                                                         const std::string& focusTaskID)
{
    return {std::string(kTimeUpPrefix) + focusTaskID,
            "Time's up",
            "Did you finish " + taskName + "?",
            std::string(kTimeUp),
            true,
            NotificationRequest::InterruptionLevel::active};
}

NotificationRequest NotificationPresenter::dailySummaryRequest(const std::string& body, Date now)
{
    const auto seconds = static_cast<std::int64_t>(std::trunc(now));
    return {"summary-" + NumberFormat::integer(seconds),
            "Today's deep work",
            body,
            std::string(kDaySummary),
            false,
            NotificationRequest::InterruptionLevel::active};
}

NotificationRequest NotificationPresenter::assignNudgeRequest(std::int64_t minutes,
                                                              const std::string& hint)
{
    std::string body = "Assign them once and future time lands in the right place.";
    if (!hint.empty()) {
        body += " Most of it in " + hint + ".";
    }
    return {"assign-nudge",
            NumberFormat::integer(minutes) + " minutes of deep work have no project yet",
            body,
            std::string(kAssign),
            false,
            NotificationRequest::InterruptionLevel::passive};
}

void NotificationPresenter::route(std::string_view requestIdentifier, std::string_view category,
                                  std::string_view action) const
{
    if (category == kTimeUp) {
        if (!requestIdentifier.starts_with(kTimeUpPrefix)) {
            return;
        }
        const std::string focusTaskID(requestIdentifier.substr(kTimeUpPrefix.size()));
        if (action == "done") {
            call(m_handlers.timeUpDone, focusTaskID);
        } else if (action == "extend15") {
            call(m_handlers.timeUpExtend15, focusTaskID);
        }
        return;
    }
    if (category == kDaySummary) {
        if (action == "share" || action == kDefaultAction) {
            call(m_handlers.showShare);
        } else if (action == "dashboard") {
            call(m_handlers.showDashboard);
        }
        return;
    }
    if (category == kAssign) {
        call(m_handlers.showDashboard);
    }
}

} // namespace kestrove
