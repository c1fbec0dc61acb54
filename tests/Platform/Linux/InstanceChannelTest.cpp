#include "Platform/Linux/InstanceChannel.h"
#include "DesktopTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <future>

using namespace kestrove;

namespace {

// Runs the event loop until `done` or two seconds pass.
template <typename Done> bool spinUntil(Done done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

} // namespace

TEST(InstanceChannelTest, ASecondStartHandsItsArgumentsToTheFirst)
{
    testing_support::ensureApplication();
    TemporaryFolder folder;
    const std::string path = folder.path + "/kestrove.socket";
    // A socket file left by a crashed run does not stop the next one.
    std::ofstream(path) << "stale";
    InstanceChannel channel(path);
    std::vector<std::vector<std::string>> received;
    channel.onMessage = [&](const std::vector<std::string>& arguments) {
        received.push_back(arguments);
    };
    ASSERT_TRUE(channel.listen());

    for (const std::vector<std::string>& message :
         {std::vector<std::string>{"kestrove://week"}, std::vector<std::string>{},
          std::vector<std::string>{"kestrove://today?date=2024-03-05", "ünïcode"}}) {
        auto sent =
            std::async(std::launch::async, [&] { return InstanceChannel::send(message, path); });
        ASSERT_TRUE(spinUntil(
            [&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
        EXPECT_TRUE(sent.get());
        ASSERT_FALSE(received.empty());
        EXPECT_EQ(received.back(), message);
    }
    EXPECT_EQ(received.size(), 3u);
}

TEST(InstanceChannelTest, NobodyListeningIsAFailedSend)
{
    TemporaryFolder folder;
    EXPECT_FALSE(InstanceChannel::send({"kestrove://week"}, folder.path + "/none", 200));
}
