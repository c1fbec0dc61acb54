#include "Storage/DatabaseWorker.h"
#include "StorageFixture.h"
#include "support/ManualMainQueue.h"

#include <chrono>
#include <thread>

using namespace kestrove;

class DatabaseWorkerTest : public StorageTest
{
protected:
    ManualMainQueue m_main;
};

TEST_F(DatabaseWorkerTest, RunsJobsInOrderAndAnswersOnTheMainQueue)
{
    DatabaseWorker worker(m_main, m_path, m_clock);
    worker.run([](Database& db) { db.open(); }).wait().value();

    std::vector<std::int64_t> answered;
    Segment s;
    s.appName = "Editor";
    // The first job is slow on purpose: the later ones must still land after it, in order.
    worker.run([](Database&) { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
    std::vector<DatabaseJob<std::int64_t>> jobs;
    for (int i = 0; i < 20; ++i) {
        s.start = i;
        s.end = i + 1;
        jobs.push_back(worker.run([s](Database& db) { return db.insertSegment(s); },
                                  [&](DatabaseResult<std::int64_t> r) {
                                      answered.push_back(r.value());
                                  }));
    }
    const auto rows =
        worker.run([](Database& db) { return db.segments(0, 100); }).wait().value();
    EXPECT_TRUE(answered.empty()) << "callbacks run only on the main queue";
    m_main.drain();
    ASSERT_EQ(answered.size(), 20u);
    ASSERT_EQ(rows.size(), 20u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].start, double(i));
        EXPECT_EQ(rows[i].id, answered[i]);
        EXPECT_EQ(jobs[i].wait().value(), answered[i]);
    }
}

TEST_F(DatabaseWorkerTest, FailuresComeBackAsResults)
{
    DatabaseWorker worker(m_main, m_path, m_clock);
    std::optional<std::string> message;
    worker.run([](Database& db) { return db.insertSegment(Segment{}); },
               [&](DatabaseResult<std::int64_t> r) { message = r.error()->what(); });
    worker.waitUntilIdle();
    m_main.drain();
    EXPECT_EQ(message, "DB prepare failed: no db");
}

TEST_F(DatabaseWorkerTest, StoppingLandsEveryQueuedWrite)
{
    {
        DatabaseWorker worker(m_main, m_path, m_clock);
        worker.run([](Database& db) {
            db.open();
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        });
        for (int i = 0; i < 100; ++i) {
            worker.run([i](Database& db) {
                Segment s;
                s.start = i;
                s.end = i + 1;
                s.appName = "Editor";
                db.insertSegment(s);
            });
        }
    }
    Database db(m_path, m_clock);
    db.open();
    EXPECT_EQ(db.segments(0, 1000).size(), 100u);
}
