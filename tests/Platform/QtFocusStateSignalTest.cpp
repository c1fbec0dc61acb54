#include "Platform/QtFocusStateSignal.h"
#include "DesktopTestSupport.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QTest>

#include <gtest/gtest.h>

#include "support/FakeClock.h"

namespace kestrove {
namespace {

// Another client of the session bus, keeping each signal's entries in the order received.
class FocusStateListener : public QObject
{
    Q_OBJECT

public:
    std::vector<FocusStateSignal::Entries> received;
    QStringList signatures;

public slots:
    void changed(const QDBusMessage& message)
    {
        signatures.append(message.signature());
        const auto argument = message.arguments().value(0).value<QDBusArgument>();
        FocusStateSignal::Entries entries;
        argument.beginMap();
        while (!argument.atEnd()) {
            QString key;
            QString value;
            argument.beginMapEntry();
            argument >> key >> value;
            argument.endMapEntry();
            entries.emplace_back(key.toStdString(), value.toStdString());
        }
        argument.endMap();
        received.push_back(entries);
    }
};

TEST(QtFocusStateSignalTest, ListenersReceiveTheEventsWithTheirKeysInOrder)
{
    testing_support::ensureApplication();
    auto listenerBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "focus-listener");
    FocusStateListener listener;
    ASSERT_TRUE(listenerBus.connect("", "/com/kestrove/focusState", "com.kestrove.focusState",
                                    "Changed", &listener, SLOT(changed(QDBusMessage))));

    QtFocusStateSignal signal;
    FakeClock clock(1740830405.0);
    FocusStateMonitor monitor(signal, clock);
    monitor.update(SessionPhase::deepWork);
    clock.advance(61);
    monitor.update(SessionPhase::buildingFocus);

    EXPECT_TRUE(QTest::qWaitFor([&] { return listener.received.size() == 4; }, 3000));
    const FocusStateSignal::Entries left = {{"event", "left_deep_work"},
                                            {"phase", "buildingFocus"},
                                            {"duration_minutes", "1"},
                                            {"timestamp", "2025-03-01T12:01:06Z"}};
    ASSERT_EQ(listener.received.size(), 4u);
    EXPECT_EQ(listener.received[1][0].second, "entered_deep_work");
    EXPECT_EQ(listener.received[3], left);
    EXPECT_EQ(listener.signatures, QStringList(4, "a{ss}"));
    QDBusConnection::disconnectFromBus("focus-listener");
}

} // namespace
} // namespace kestrove

#include "QtFocusStateSignalTest.moc"
