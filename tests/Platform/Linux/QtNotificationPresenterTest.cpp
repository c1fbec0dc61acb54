#include "Platform/Linux/QtNotificationPresenter.h"
#include "DesktopTestSupport.h"

#include <QDBusMessage>
#include <QTest>

#include <gtest/gtest.h>

#include "Platform/Log.h"
#include "support/FakeClock.h"

namespace kestrove {
namespace {

constexpr int kWaitMilliseconds = 3000;
const std::string kTaskID = "6F9619FF-8B86-4011-B42D-00C04FC964FF";

struct NotifyCall
{
    uint replacesID;
    QString title, body;
    QStringList actions;
    QVariantMap hints;
};

// A notification server on the test's second connection: it records Notify and plays clicks.
class FakeNotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList capabilities = {"actions", "body"};
    std::vector<NotifyCall> calls;
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-notif");

    FakeNotificationServer()
    {
        bus.registerObject("/org/freedesktop/Notifications", this, QDBusConnection::ExportAllSlots);
        EXPECT_TRUE(bus.registerService("org.freedesktop.Notifications"));
    }
    ~FakeNotificationServer() override { QDBusConnection::disconnectFromBus("fake-notif"); }

    void click(uint id, const QString& action)
    {
        auto signal = QDBusMessage::createSignal("/org/freedesktop/Notifications",
                                                 "org.freedesktop.Notifications", "ActionInvoked");
        bus.send(signal << id << action);
    }

public slots:
    QStringList GetCapabilities() { return capabilities; }
    uint Notify(const QString&, uint replacesID, const QString&, const QString& title,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int)
    {
        calls.push_back({replacesID, title, body, actions, hints});
        return replacesID != 0 ? replacesID : static_cast<uint>(calls.size() + 100);
    }
};

class QtNotificationPresenterTest : public testing::Test
{
protected:
    QtNotificationPresenterTest() { testing_support::ensureApplication(); }

    bool waitForCalls(std::size_t count)
    {
        return QTest::qWaitFor([&] { return server->calls.size() >= count; }, kWaitMilliseconds);
    }

    FakeClock clock;
    std::unique_ptr<FakeNotificationServer> server = std::make_unique<FakeNotificationServer>();
    QtNotificationPresenter presenter{clock};
};

TEST_F(QtNotificationPresenterTest, PostsEachKindAndReplacesByIdentifier)
{
    presenter.install();
    presenter.postTimeUp("Draft <b>R&D</b>", kTaskID);
    presenter.postDailySummary("3h 10m of deep work");
    presenter.postAssignNudge(42, "");
    presenter.postTimeUp("Draft <b>R&D</b>", kTaskID);
    ASSERT_TRUE(waitForCalls(4));

    const auto& calls = server->calls;
    EXPECT_EQ(calls[0].title, "Time's up");
    EXPECT_EQ(calls[0].body, "Did you finish Draft <b>R&D</b>?"); // the server shows plain text
    EXPECT_EQ(calls[0].actions, QStringList({"done", "I'm done", "extend15", "+15 min"}));
    EXPECT_EQ(calls[0].hints.value("sound-name"), "message-new-instant");
    EXPECT_EQ(calls[1].actions, QStringList({"share", "Share card", "dashboard", "Open dashboard",
                                             "default", "Share card"}));
    EXPECT_EQ(calls[2].title, "42 minutes of deep work have no project yet");
    EXPECT_EQ(calls[2].hints.value("urgency").toInt(), 0);
    EXPECT_TRUE(calls[2].hints.value("suppress-sound").toBool());
    const std::vector<uint> replaced = {calls[0].replacesID, calls[1].replacesID,
                                        calls[2].replacesID, calls[3].replacesID};
    EXPECT_EQ(replaced, (std::vector<uint>{0, 0, 0, 101}));
}

TEST_F(QtNotificationPresenterTest, AnswersReachTheirHandlersAndMarkupIsEscaped)
{
    std::vector<std::string> answers;
    presenter.setHandlers({
        [&](const std::string& id) { answers.push_back("done " + id); },
        [&](const std::string& id) { answers.push_back("extend " + id); },
        [&] { answers.push_back("share"); },
        [&] { answers.push_back("dashboard"); },
    });
    server->capabilities << "body-markup";
    presenter.install();
    presenter.postTimeUp("R&D <draft>", kTaskID); // id 101
    presenter.postDailySummary("body");           // id 102
    presenter.postAssignNudge(31, "Ops");         // id 103
    ASSERT_TRUE(waitForCalls(3));
    EXPECT_EQ(server->calls[0].body, "Did you finish R&amp;D &lt;draft&gt;?");

    // Each server id leads back to the request it showed; another program's id to nothing.
    for (const auto& [id, action] : std::vector<std::pair<uint, QString>>{
             {101, "extend15"}, {102, "default"}, {103, "assign"}, {999, "done"}}) {
        server->click(id, action);
    }
    const std::vector<std::string> expected = {"extend " + kTaskID, "share", "dashboard"};
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return answers.size() >= expected.size(); }, kWaitMilliseconds));
    QTest::qWait(50); // the unknown id must not add anything
    EXPECT_EQ(answers, expected);
}

TEST_F(QtNotificationPresenterTest, WithoutServerPostsAreLoggedAndNothingBreaks)
{
    server.reset();
    std::vector<std::string> errors;
    Log::setSink([&](Log::Level level, const std::string& category, const std::string& line) {
        if (level == Log::Level::error && category == "notif") {
            errors.push_back(line);
        }
    });
    bool settled = false;
    presenter.install();
    presenter.requestAuthorizationIfNeeded([&] { settled = true; });
    presenter.postAssignNudge(30, "");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !errors.empty(); }, kWaitMilliseconds));
    Log::setSink(nullptr);
    EXPECT_TRUE(settled);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].starts_with("post assign-nudge failed: ")) << errors[0];
}

TEST_F(QtNotificationPresenterTest, WithoutSessionBusPostsAreDroppedQuietly)
{
    // A connection that was never made: what the presenter gets when the user has no bus.
    QtNotificationPresenter unconnected(clock, QDBusConnection(QStringLiteral("no-bus")));
    std::vector<std::string> lines;
    Log::setSink(
        [&](Log::Level, const std::string&, const std::string& line) { lines.push_back(line); });
    bool settled = false;
    unconnected.install();
    unconnected.requestAuthorizationIfNeeded([&] { settled = true; });
    unconnected.postAssignNudge(30, "");
    unconnected.postDailySummary("3h 10m of deep work");
    EXPECT_TRUE(QTest::qWaitFor([&] { return settled; }, 500));
    QTest::qWait(100);
    Log::setSink(nullptr);
    EXPECT_TRUE(lines.empty()) << lines.front();
    EXPECT_TRUE(server->calls.empty());
}

} // namespace
} // namespace kestrove

#include "QtNotificationPresenterTest.moc"
