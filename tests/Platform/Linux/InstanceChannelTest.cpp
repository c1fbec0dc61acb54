#include "Platform/Linux/InstanceChannel.h"
#include "DesktopTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <future>
#include <thread>

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

TEST(InstanceChannelTest, ASendWaitsForAnInstanceThatIsStillStarting)
{
    testing_support::ensureApplication();
    TemporaryFolder folder;
    const std::string path = folder.path + "/kestrove.socket";
    auto sent = std::async(std::launch::async,
                           [&] { return InstanceChannel::send({"kestrove://week"}, path); });
    // The instance listens only once the send has found nobody.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    InstanceChannel channel(path);
    std::vector<std::string> received;
    channel.onMessage = [&](const std::vector<std::string>& arguments) { received = arguments; };
    ASSERT_TRUE(channel.listen());
    ASSERT_TRUE(spinUntil(
        [&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    EXPECT_TRUE(sent.get());
    EXPECT_EQ(received, std::vector<std::string>{"kestrove://week"});
}

TEST(InstanceChannelTest, NobodyListeningIsAFailedSend)
{
    TemporaryFolder folder;
    EXPECT_FALSE(InstanceChannel::send({"kestrove://week"}, folder.path + "/none", 200));
}

// A command-line request is answered on its own connection, also when the answer comes later
// (a card built on the database's thread), and never reaches the links' handler.
TEST(InstanceChannelTest, ARequestIsAnsweredWhenTheAnswerIsReady)
{
    testing_support::ensureApplication();
    TemporaryFolder folder;
    const std::string path = folder.path + "/kestrove.socket";
    InstanceChannel channel(path);
    int links = 0;
    channel.onMessage = [&](const std::vector<std::string>&) { ++links; };
    std::vector<std::vector<std::string>> requests;
    InstanceChannel::Reply pending;
    channel.onRequest = [&](const std::vector<std::string>& request, InstanceChannel::Reply reply) {
        requests.push_back(request);
        pending = std::move(reply);
    };
    ASSERT_TRUE(channel.listen());

    std::string png(300 * 1024, '\0'); // larger than any message a start sends
    png[0] = '\x89';
    png.back() = 'E';
    auto asked = std::async(std::launch::async, [&] {
        return InstanceChannel::request({"export-card", "--period", "week"}, path, 5000);
    });
    ASSERT_TRUE(spinUntil([&] { return bool(pending); }));
    EXPECT_EQ(requests.back(), (std::vector<std::string>{"export-card", "--period", "week"}));
    // The answer is not ready yet: the asker waits.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    EXPECT_EQ(asked.wait_for(std::chrono::seconds(0)), std::future_status::timeout);
    pending({0, "done\n", "", png});
    ASSERT_TRUE(spinUntil(
        [&] { return asked.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    const auto answer = asked.get();
    ASSERT_TRUE(answer);
    EXPECT_EQ(*answer, (InstanceChannel::Answer{0, "done\n", "", png}));
    EXPECT_EQ(links, 0);

    // An asker that gave up is no trouble to a late answer.
    pending = {};
    auto impatient = std::async(std::launch::async,
                                [&] { return InstanceChannel::request({"status"}, path, 300); });
    ASSERT_TRUE(spinUntil([&] { return bool(pending); }));
    ASSERT_TRUE(spinUntil(
        [&] { return impatient.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    EXPECT_FALSE(impatient.get());
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    pending({0, "late\n", "", ""});
    EXPECT_FALSE(InstanceChannel::request({"status"}, folder.path + "/none", 200));
}
