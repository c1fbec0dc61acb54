#pragma once

#include "Engine/Tracker.h"
#include "Storage/Database.h"
#include "core/Segment.h"

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kestrove {

// What one of the tracker's writes did to the backlog, logged on the main thread.
struct WriteReport
{
    // Writes began to be held, and the error that made them.
    std::optional<std::string> heldBack;
    // The last held write landed: writes go straight to the database again.
    bool resumed = false;
    // Held writes that landed during this write.
    std::size_t written = 0;
    // Held writes given up for the limit.
    std::size_t dropped = 0;
    // Held writes that failed for another reason than space; they are given up.
    std::vector<std::string> errors;
    // Held writes still unwritten when the tracker stopped; they are lost.
    std::size_t lost = 0;
    // The database's open failed, and its error said why.
    bool openFailed = false;
};

// The tracker's segment writes that failed for lack of space, kept in memory in the order they
// were made and written, oldest first, by the first write after space returned. Only the
// tracker's database jobs touch it, one at a time on the database's thread.
class WriteBacklog
{
public:
    using Handle = Tracker::Handle;
    // Hours of ordinary switching; past it the oldest held write is given up.
    static constexpr std::size_t kLimit = 10000;

    using Report = WriteReport;

    // Each first writes what is held, then its own write, which is held when the disk is full
    // (or when older writes still are). Other failures of its own write throw DatabaseError.
    void insert(Database& database, const Segment& segment, const std::shared_ptr<Handle>& handle,
                Report& report);
    void update(Database& database, const std::shared_ptr<Handle>& handle, Date end,
                Report& report);
    void remove(Database& database, const std::shared_ptr<Handle>& handle, Report& report);
    // One last try to write what is held; what still fails is counted as lost and forgotten.
    void abandon(Database& database, Report& report);

    std::size_t size() const { return m_entries.size(); }

private:
    class Transition;

    struct Entry
    {
        std::shared_ptr<Handle> handle;
        // The segment to insert; absent when the write is a new end for the handle's row.
        std::optional<Segment> segment;
        Date end = 0;
    };

    // Writes held entries oldest first; stops, keeping the rest, at the first lack of space.
    void flush(Database& database, Report& report);
    void hold(Entry entry, Report& report);
    // The one entry of `handle`, or end().
    std::deque<Entry>::iterator find(const std::shared_ptr<Handle>& handle);
    // Runs `write`, or holds `entry` instead when older writes wait or the disk is full.
    template <typename Write> void writeOrHold(Entry entry, Report& report, Write write);

    std::deque<Entry> m_entries;
    std::optional<std::string> m_reason;
};

} // namespace kestrove
