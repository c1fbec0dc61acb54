#include "Storage/DatabaseWorker.h"

#include "Platform/Log.h"

namespace kestrove {

DatabaseWorker::DatabaseWorker(MainQueue& mainQueue, std::string path, const Clock& clock)
    : m_mainQueue(mainQueue), m_database(std::move(path), clock), m_thread([this] { loop(); })
{}

DatabaseWorker::~DatabaseWorker()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void DatabaseWorker::waitUntilIdle()
{
    run([](Database&) {}).wait();
}

DatabaseError DatabaseWorker::unexpected(const std::exception& error)
{
    Log("app").error(std::string("database job failed: ") + error.what());
    return DatabaseError::executeFailed(error.what());
}

void DatabaseWorker::enqueue(std::function<void()> task)
{
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(task));
    }
    m_wake.notify_one();
}

void DatabaseWorker::loop()
{
    while (true) {
        std::function<void()> task;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_jobs.empty()) {
                break;
            }
            task = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        task();
    }
    // The connection belongs to this thread, so it is closed here.
    m_database.close();
}

} // namespace kestrove
