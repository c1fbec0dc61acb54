#include "Engine/NotificationPresenter.h"

#include <gtest/gtest.h>

#include "support/FakeClock.h"
#include "support/FakeNotificationPresenter.h"

namespace kestrove {
namespace {

using Level = NotificationRequest::InterruptionLevel;

TEST(NotificationPresenterTest, RequestsCarryTheirTextsAndIdentifiers)
{
    const std::string task = "0A1B2C3D-0000-4000-8000-000000000001";
    const NotificationRequest expected[] = {
        {"timeup-" + task, "Time's up", "Did you finish Write report?", "timeUp", true,
         Level::active},
        {"summary-1740830405", "Today's deep work", "2h deep", "daySummary", false, Level::active},
        {"summary-1740830406", "Today's deep work", "2h deep", "daySummary", false, Level::active},
        {"assign-nudge", "30 minutes of deep work have no project yet",
         "Assign them once and future time lands in the right place.", "assign", false,
         Level::passive},
        {"assign-nudge", "95 minutes of deep work have no project yet",
         "Assign them once and future time lands in the right place. Most of it in ~/src/app.",
         "assign", false, Level::passive},
    };
    FakeClock clock(1740830405.99);
    FakeNotificationPresenter presenter(clock);
    presenter.postTimeUp("Write report", task);
    presenter.postDailySummary("2h deep"); // seconds truncated
    clock.advance(0.02);
    presenter.postDailySummary("2h deep");
    presenter.postAssignNudge(30, "");
    presenter.postAssignNudge(95, "~/src/app");
    ASSERT_EQ(presenter.posted.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(presenter.posted[i], expected[i]) << i;
    }
}

TEST(NotificationPresenterTest, AnswersAreRoutedByCategoryAndAction)
{
    FakeClock clock;
    FakeNotificationPresenter presenter(clock);
    std::string answer;
    presenter.setHandlers({[&](const std::string& id) { answer = "done " + id; },
                           [&](const std::string& id) { answer = "extend " + id; },
                           [&] { answer = "share"; }, [&] { answer = "dashboard"; }});
    const auto timeUp = NotificationPresenter::timeUpRequest("Write", "TASK-A");
    const auto summary = NotificationPresenter::dailySummaryRequest("b", 0);
    const auto nudge = NotificationPresenter::assignNudgeRequest(30, "");
    const std::tuple<const NotificationRequest&, std::string_view, std::string> cases[] = {
        {timeUp, "done", "done TASK-A"},
        {timeUp, "extend15", "extend TASK-A"},
        {timeUp, "default", ""},
        {timeUp, "snooze", ""},
        {summary, "share", "share"},
        {summary, "default", "share"},
        {summary, "dashboard", "dashboard"},
        {nudge, "assign", "dashboard"},
        {nudge, "default", "dashboard"},
    };
    for (const auto& [request, action, expected] : cases) {
        answer.clear();
        presenter.answer(request, action);
        EXPECT_EQ(answer, expected) << request.categoryIdentifier << " " << action;
    }
}

TEST(NotificationPresenterTest, AsksOnceEvenWhenSeveralWaitAtOnce)
{
    FakeClock clock;
    FakeNotificationPresenter presenter(clock);
    presenter.settlesAuthorizationAtOnce = false;
    int settled = 0;
    presenter.requestAuthorizationIfNeeded([&] { ++settled; });
    presenter.requestAuthorizationIfNeeded([&] { ++settled; });
    EXPECT_EQ(settled, 0);
    presenter.settleAuthorization();
    EXPECT_EQ(settled, 2);
    presenter.requestAuthorizationIfNeeded([&] { ++settled; });
    EXPECT_EQ(settled, 3);
    EXPECT_EQ(presenter.authorizationQuestions, 1);
}

} // namespace
} // namespace kestrove
