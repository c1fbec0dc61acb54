#include "Engine/WriteBacklog.h"

#include <algorithm>

namespace kestrove {

// Notes, as a write ends (returning or throwing), whether it began or ended the holding.
class WriteBacklog::Transition
{
public:
    Transition(const WriteBacklog& backlog, Report& report)
        : m_backlog(backlog), m_report(report), m_wasHolding(!backlog.m_entries.empty())
    {}
    ~Transition()
    {
        const bool holding = !m_backlog.m_entries.empty();
        if (!m_wasHolding && holding) {
            m_report.heldBack = m_backlog.m_reason.value_or("database or disk is full");
        } else if (m_wasHolding && !holding) {
            m_report.resumed = true;
        }
    }
    Transition(const Transition&) = delete;
    Transition& operator=(const Transition&) = delete;

private:
    const WriteBacklog& m_backlog;
    Report& m_report;
    bool m_wasHolding;
};

void WriteBacklog::insert(Database& database, const Segment& segment,
                          const std::shared_ptr<Handle>& handle, Report& report)
{
    const Transition transition(*this, report);
    flush(database, report);
    writeOrHold({handle, segment, segment.end}, report, [&] {
        const std::int64_t id = database.insertSegment(segment);
        if (handle) {
            handle->setID(id);
        }
    });
}

void WriteBacklog::update(Database& database, const std::shared_ptr<Handle>& handle, Date end,
                          Report& report)
{
    const Transition transition(*this, report);
    // A held write carries the new end with it.
    if (const auto held = find(handle); held != m_entries.end()) {
        held->end = end;
        if (held->segment) {
            held->segment->end = end;
        }
        flush(database, report);
        return;
    }
    flush(database, report);
    // No id and nothing held: the insert failed for another reason, and its row does not exist.
    if (const auto id = handle->id()) {
        writeOrHold({handle, std::nullopt, end}, report, [&] { database.updateSegment(*id, end); });
    }
}

void WriteBacklog::remove(Database& database, const std::shared_ptr<Handle>& handle, Report& report)
{
    const Transition transition(*this, report);
    if (const auto held = find(handle); held != m_entries.end()) {
        const bool neverStored = held->segment.has_value();
        m_entries.erase(held);
        if (neverStored) {
            flush(database, report);
            return;
        }
    }
    flush(database, report);
    // A failed delete leaves a short row behind, which is harmless.
    if (const auto id = handle->id()) {
        database.deleteSegment(*id);
    }
}

template <typename Write> void WriteBacklog::writeOrHold(Entry entry, Report& report, Write write)
{
    // Behind held writes a new one waits its turn, so that writes land in the order made.
    if (m_entries.empty()) {
        try {
            write();
            return;
        } catch (const DatabaseError& error) {
            if (!error.isOutOfSpace()) {
                throw;
            }
            m_reason = error.what();
        }
    }
    hold(std::move(entry), report);
}

void WriteBacklog::abandon(Database& database, Report& report)
{
    const bool wasHolding = !m_entries.empty();
    flush(database, report);
    report.lost = m_entries.size();
    report.resumed = wasHolding && report.lost == 0;
    m_entries.clear();
}

void WriteBacklog::flush(Database& database, Report& report)
{
    while (!m_entries.empty()) {
        Entry& entry = m_entries.front();
        try {
            if (entry.segment) {
                const std::int64_t id = database.insertSegment(*entry.segment);
                if (entry.handle) {
                    entry.handle->setID(id);
                }
            } else if (const auto id = entry.handle->id()) {
                database.updateSegment(*id, entry.end);
            }
            ++report.written;
        } catch (const DatabaseError& error) {
            if (error.isOutOfSpace()) {
                return;
            }
            report.errors.emplace_back(error.what());
        }
        m_entries.pop_front();
    }
}

void WriteBacklog::hold(Entry entry, Report& report)
{
    if (m_entries.size() >= kLimit) {
        m_entries.pop_front();
        ++report.dropped;
    }
    m_entries.push_back(std::move(entry));
}

std::deque<WriteBacklog::Entry>::iterator WriteBacklog::find(const std::shared_ptr<Handle>& handle)
{
    if (!handle) {
        return m_entries.end();
    }
    // The open segment's writes are the newest, so the search starts from the back.
    const auto found = std::find_if(m_entries.rbegin(), m_entries.rend(),
                                    [&](const Entry& entry) { return entry.handle == handle; });
    return found == m_entries.rend() ? m_entries.end() : std::prev(found.base());
}

} // namespace kestrove
