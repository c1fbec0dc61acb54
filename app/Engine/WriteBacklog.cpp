#include "Engine/WriteBacklog.h"

#include <algorithm>

namespace kestrove {

void WriteBacklog::insert(Database& database, const Segment& segment,
                          const std::shared_ptr<Handle>& handle, Report& report)
{
    const bool wasHolding = !m_entries.empty();
    flush(database, report);
    // Behind held writes a new one waits its turn, so that writes land in the order made.
    if (m_entries.empty()) {
        try {
            const std::int64_t id = database.insertSegment(segment);
            if (handle) {
                handle->setID(id);
            }
            noteTransition(wasHolding, report);
            return;
        } catch (const DatabaseError& error) {
            if (!error.isOutOfSpace()) {
                noteTransition(wasHolding, report);
                throw;
            }
            m_reason = error.what();
        }
    }
    hold({handle, segment, segment.end}, report);
    noteTransition(wasHolding, report);
}

void WriteBacklog::update(Database& database, const std::shared_ptr<Handle>& handle, Date end,
                          Report& report)
{
    const bool wasHolding = !m_entries.empty();
    flush(database, report);
    if (const auto held = find(handle); held != m_entries.end()) {
        held->end = end;
        if (held->segment) {
            held->segment->end = end;
        }
        noteTransition(wasHolding, report);
        return;
    }
    // No id and nothing held: the insert failed for another reason, and its row does not exist.
    const auto id = handle->id();
    if (!id) {
        noteTransition(wasHolding, report);
        return;
    }
    if (m_entries.empty()) {
        try {
            database.updateSegment(*id, end);
            noteTransition(wasHolding, report);
            return;
        } catch (const DatabaseError& error) {
            if (!error.isOutOfSpace()) {
                noteTransition(wasHolding, report);
                throw;
            }
            m_reason = error.what();
        }
    }
    hold({handle, std::nullopt, end}, report);
    noteTransition(wasHolding, report);
}

void WriteBacklog::remove(Database& database, const std::shared_ptr<Handle>& handle, Report& report)
{
    const bool wasHolding = !m_entries.empty();
    flush(database, report);
    if (const auto held = find(handle); held != m_entries.end()) {
        const bool neverStored = held->segment.has_value();
        m_entries.erase(held);
        if (neverStored) {
            noteTransition(wasHolding, report);
            return;
        }
    }
    // A failed delete leaves a short row behind, which is harmless.
    if (const auto id = handle->id()) {
        database.deleteSegment(*id);
    }
    noteTransition(wasHolding, report);
}

void WriteBacklog::abandon(Database& database, Report& report)
{
    const bool wasHolding = !m_entries.empty();
    flush(database, report);
    report.lost = m_entries.size();
    m_entries.clear();
    if (report.lost == 0) {
        noteTransition(wasHolding, report);
    }
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

void WriteBacklog::noteTransition(bool wasHolding, Report& report) const
{
    const bool holding = !m_entries.empty();
    if (!wasHolding && holding) {
        report.heldBack = m_reason.value_or("database or disk is full");
    } else if (wasHolding && !holding) {
        report.resumed = true;
    }
}

} // namespace kestrove
