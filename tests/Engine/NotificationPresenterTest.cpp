#include "Engine/NotificationPresenter.h"

#include <gtest/gtest.h>

#include "support/FakeClock.h"
#include "support/FakeNotificationPresenter.h"

namespace kestrove {
namespace {

TEST(NotificationPresenterTest, TimeUpCarriesTheTaskAndPlaysTheSound)
{
    FakeClock clock;
    FakeNotificationPresenter presenter(clock);
    presenter.postTimeUp("Write report", "0A1B2C3D-0000-4000-8000-000000000001");
    presenter.postTimeUp("Write report", "0A1B2C3D-0000-4000-8000-000000000001");
    ASSERT_EQ(presenter.posted.size(), 2u);
    const auto& request = presenter.posted[0];
    EXPECT_EQ(request.identifier, "timeup-0A1B2C3D-0000-4000-8000-000000000001");
    EXPECT_EQ(request.title, "Time's up");
    EXPECT_EQ(request.body, "Did you finish Write report?");
    EXPECT_EQ(request.categoryIdentifier, "timeUp");
    EXPECT_TRUE(request.playsSound);
    EXPECT_EQ(presenter.posted[1], request); // same task, same identifier: the later replaces
}

} // namespace
} // namespace kestrove
