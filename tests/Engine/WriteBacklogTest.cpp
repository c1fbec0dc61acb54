#include "Engine/WriteBacklog.h"
#include "support/FakeClock.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace kestrove {
namespace {

using Handle = WriteBacklog::Handle;

// A database whose file may not grow until space() is called, and a backlog in front of it.
class WriteBacklogTest : public testing::Test
{
protected:
    WriteBacklogTest() { db.open(); }

    void fill()
    {
        sqlite3* other = nullptr;
        sqlite3_open(path.c_str(), &other);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(other, "PRAGMA page_count;", -1, &statement, nullptr);
        sqlite3_step(statement);
        const int pages = sqlite3_column_int(statement, 0);
        sqlite3_finalize(statement);
        sqlite3_close(other);
        db.execute("PRAGMA max_page_count = " + std::to_string(pages) + ";");
    }
    void space() { db.execute("PRAGMA max_page_count = 1073741823;"); }

    // A segment whose title needs room, so that a full file refuses it.
    Segment segment(int index) const
    {
        Segment s;
        s.start = 1000 + index;
        s.end = s.start + 1;
        s.appName = "Editor";
        s.windowTitle = std::to_string(index) + std::string(300, '.');
        return s;
    }
    std::set<int> storedIndices()
    {
        std::set<int> indices;
        for (const Segment& row : db.segments(0, 1e9)) {
            indices.insert(static_cast<int>(row.start) - 1000);
        }
        return indices;
    }

    TemporaryFolder folder;
    std::string path = folder.path + "/kestrove.db";
    FakeClock clock{1765000000.0};
    Database db{path, clock};
    WriteBacklog backlog;
};

TEST_F(WriteBacklogTest, KeepsTheNewestWritesUpToItsLimitAndWritesThemInOrder)
{
    fill();
    std::vector<std::shared_ptr<Handle>> handles;
    WriteReport report;
    const auto insert = [&] {
        const int index = static_cast<int>(handles.size());
        handles.push_back(std::make_shared<Handle>());
        backlog.insert(db, segment(index), handles.back(), report);
    };
    while (backlog.size() == 0 && handles.size() < 100) {
        insert();
    }
    const int landed = static_cast<int>(storedIndices().size());
    ASSERT_EQ(landed + 1, static_cast<int>(handles.size())) << "the file never filled up";
    EXPECT_TRUE(report.heldBack);
    for (std::size_t i = 0; i < WriteBacklog::kLimit + 2; ++i) {
        insert();
    }
    const int count = static_cast<int>(handles.size());
    EXPECT_EQ(backlog.size(), WriteBacklog::kLimit);
    EXPECT_EQ(report.dropped, 3u);

    space();
    WriteReport resumed;
    backlog.update(db, handles.back(), 1e6, resumed);
    EXPECT_TRUE(resumed.resumed);
    EXPECT_EQ(resumed.written, WriteBacklog::kLimit);
    EXPECT_EQ(backlog.size(), 0u);
    // The oldest held writes were given up; the rest landed, each with its row id.
    const std::set<int> stored = storedIndices();
    EXPECT_EQ(stored.size(), static_cast<std::size_t>(landed) + WriteBacklog::kLimit);
    const int firstKept = landed + static_cast<int>(report.dropped);
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(stored.contains(i), i < landed || i >= firstKept) << i;
        EXPECT_EQ(handles[i]->id().has_value(), i < landed || i >= firstKept) << i;
    }
    EXPECT_EQ(db.segments(0, 2e6).back().end, 1e6) << "the held end of the last segment";
}

TEST_F(WriteBacklogTest, HeldWritesFollowTheirSegmentUntilTheyLandOrAreGivenUp)
{
    const auto written = std::make_shared<Handle>();
    WriteReport report;
    backlog.insert(db, segment(0), written, report);
    ASSERT_TRUE(written->id());
    fill();
    const auto held = std::make_shared<Handle>();
    const auto flicker = std::make_shared<Handle>();
    for (int i = 1; backlog.size() == 0 && i < 100; ++i) {
        backlog.insert(db, segment(i), held, report);
    }
    ASSERT_EQ(backlog.size(), 1u);
    const std::int64_t heldIndex = static_cast<std::int64_t>(storedIndices().size());
    backlog.insert(db, segment(500), flicker, report);
    backlog.remove(db, flicker, report); // too short to keep: it must never land
    backlog.update(db, held, 2000, report);
    backlog.update(db, written, 1500, report); // behind held writes, it waits its turn
    EXPECT_EQ(backlog.size(), 2u);

    space();
    WriteReport resumed;
    backlog.remove(db, std::make_shared<Handle>(), resumed);
    EXPECT_TRUE(resumed.resumed);
    EXPECT_FALSE(flicker->id());
    ASSERT_TRUE(held->id());
    const auto rows = db.segments(0, 1e9);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(heldIndex) + 1);
    EXPECT_EQ(rows.front().end, 1500);
    EXPECT_EQ(rows.back().id, *held->id());
    EXPECT_EQ(rows.back().end, 2000);

    // Still full at the stop: what is held is counted as lost.
    fill();
    WriteReport stopped;
    for (int i = 600; backlog.size() == 0 && i < 700; ++i) {
        backlog.insert(db, segment(i), nullptr, stopped);
    }
    backlog.insert(db, segment(800), nullptr, stopped);
    backlog.abandon(db, stopped);
    EXPECT_EQ(stopped.lost, 2u);
    EXPECT_FALSE(stopped.resumed);
    EXPECT_EQ(backlog.size(), 0u);
}

} // namespace
} // namespace kestrove
