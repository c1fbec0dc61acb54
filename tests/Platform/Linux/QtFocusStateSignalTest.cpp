#include "Platform/Linux/QtFocusStateSignal.h"
#include "DesktopTestSupport.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QTest>

#include <gtest/gtest.h>

#include "Platform/Log.h"

namespace kestrove {
namespace {

// Another client of the session bus, keeping the entries in the order they arrived.
class FocusStateListener : public QObject
{
    Q_OBJECT

public:
    std::vector<FocusStateSignal::Entries> received;

public slots:
    void changed(const QDBusMessage& message)
    {
        EXPECT_EQ(message.signature(), "a{ss}");
        const auto argument = message.arguments().value(0).value<QDBusArgument>();
        auto& entries = received.emplace_back();
        argument.beginMap();
        while (!argument.atEnd()) {
            QString key, value;
            argument.beginMapEntry();
            argument >> key >> value;
            argument.endMapEntry();
            entries.emplace_back(key.toStdString(), value.toStdString());
        }
        argument.endMap();
    }
};

TEST(QtFocusStateSignalTest, ListenersReceiveTheEntriesInOrder)
{
    testing_support::ensureApplication();
    auto bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "focus-listener");
    FocusStateListener listener;
    ASSERT_TRUE(bus.connect("", "/com/kestrove/focusState", "com.kestrove.focusState", "Changed",
                            &listener, SLOT(changed(QDBusMessage))));

    // Not in alphabetical order, so a sorted dictionary would show.
    const FocusStateSignal::Entries left = {{"event", "left_deep_work"},
                                            {"phase", "idle"},
                                            {"duration_minutes", "2"},
                                            {"timestamp", "2025-03-01T12:02:10Z"}};
    QtFocusStateSignal().send(left);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !listener.received.empty(); }, 3000));
    EXPECT_EQ(listener.received, std::vector<FocusStateSignal::Entries>{left});
    QDBusConnection::disconnectFromBus("focus-listener");
}

TEST(QtFocusStateSignalTest, WithoutSessionBusNothingIsSentNorLogged)
{
    testing_support::ensureApplication();
    std::vector<std::string> lines;
    Log::setSink(
        [&](Log::Level, const std::string&, const std::string& line) { lines.push_back(line); });
    QtFocusStateSignal unconnected(QDBusConnection(QStringLiteral("no-bus")));
    for (int i = 0; i < 3; ++i) {
        unconnected.send({{"event", "entered_deep_work"}});
    }
    Log::setSink(nullptr);
    EXPECT_TRUE(lines.empty()) << lines.front();
}

} // namespace
} // namespace kestrove

#include "QtFocusStateSignalTest.moc"
