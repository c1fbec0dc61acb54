#pragma once

#include "Platform/LifetimeGuard.h"
#include "Platform/MainQueue.h"
#include "Storage/Database.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>
#include <utility>

namespace kestrove {

// What one database job gave: its value, or the error it failed with.
template <typename T> class DatabaseResult
{
public:
    DatabaseResult(T value) : m_value(std::move(value)) {}
    DatabaseResult(DatabaseError error) : m_error(std::make_shared<DatabaseError>(std::move(error)))
    {}

    bool ok() const { return !m_error; }
    // The error, or null when the job succeeded.
    const DatabaseError* error() const { return m_error.get(); }
    // The value; throws the job's error when it failed.
    const T& value() const
    {
        if (m_error) {
            throw *m_error;
        }
        return *m_value;
    }

private:
    std::optional<T> m_value;
    std::shared_ptr<const DatabaseError> m_error;
};

template <> class DatabaseResult<void>
{
public:
    DatabaseResult() = default;
    DatabaseResult(DatabaseError error) : m_error(std::make_shared<DatabaseError>(std::move(error)))
    {}

    bool ok() const { return !m_error; }
    const DatabaseError* error() const { return m_error.get(); }
    void value() const
    {
        if (m_error) {
            throw *m_error;
        }
    }

private:
    std::shared_ptr<const DatabaseError> m_error;
};

// A job sent to the worker; wait() blocks until it has run. Never wait from inside a job.
template <typename T> class DatabaseJob
{
public:
    explicit DatabaseJob(std::shared_future<DatabaseResult<T>> future) : m_future(std::move(future))
    {}
    const DatabaseResult<T>& wait() const { return m_future.get(); }
    bool isDone() const
    {
        return m_future.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }

private:
    std::shared_future<DatabaseResult<T>> m_future;
};

// The database's own thread: it alone holds the connection and runs jobs one at a time in the
// order they were sent, so writes land in order. Each job's result goes to its callback on the
// main queue; a caller may also wait for a job.
class DatabaseWorker
{
public:
    template <typename R> using Completion = std::function<void(DatabaseResult<R>)>;

    DatabaseWorker(MainQueue& mainQueue, std::string path,
                   const Clock& clock = Database::systemClock());
    // Runs the jobs already sent, closes the connection and ends the thread.
    ~DatabaseWorker();
    DatabaseWorker(const DatabaseWorker&) = delete;
    DatabaseWorker& operator=(const DatabaseWorker&) = delete;

    // Sends `job(Database&)`; `done`, when given, receives the result on the main queue.
    template <typename Job, typename R = std::invoke_result_t<Job&, Database&>>
    DatabaseJob<R> run(Job job, std::type_identity_t<Completion<R>> done = {})
    {
        auto promise = std::make_shared<std::promise<DatabaseResult<R>>>();
        DatabaseJob<R> handle(promise->get_future().share());
        enqueue([this, job = std::move(job), done = std::move(done), promise]() mutable {
            DatabaseResult<R> result = perform<R>(job);
            if (done) {
                m_mainQueue.post([done, result] { done(result); });
            }
            promise->set_value(std::move(result));
        });
        return handle;
    }

    // As run(), but `done` is dropped when `guard` is gone by the time the result comes back:
    // the caller no longer exists, or no longer wants the answer.
    template <typename Job, typename R = std::invoke_result_t<Job&, Database&>>
    DatabaseJob<R> run(const LifetimeGuard& guard, Job job,
                       std::type_identity_t<Completion<R>> done)
    {
        return run(std::move(job), guard.guarded(std::move(done)));
    }

    // As the guarded run(), but `done` goes to the main queue only when `worthTelling(result)`,
    // asked on the database's thread, says so: a steady stream of writes whose answers are
    // nearly always nothing to act on does not wake the main thread each time.
    template <typename Job, typename Worth, typename R = std::invoke_result_t<Job&, Database&>>
    DatabaseJob<R> runTelling(const LifetimeGuard& guard, Job job, Worth worthTelling,
                              std::type_identity_t<Completion<R>> done)
    {
        auto promise = std::make_shared<std::promise<DatabaseResult<R>>>();
        DatabaseJob<R> handle(promise->get_future().share());
        enqueue([this, job = std::move(job), worthTelling = std::move(worthTelling),
                 done = guard.guarded(std::move(done)), promise]() mutable {
            DatabaseResult<R> result = perform<R>(job);
            if (worthTelling(static_cast<const DatabaseResult<R>&>(result))) {
                m_mainQueue.post([done, result] { done(result); });
            }
            promise->set_value(std::move(result));
        });
        return handle;
    }

    // Blocks until every job sent before this call has run (shutdown, tests).
    void waitUntilIdle();

private:
    template <typename R, typename Job> DatabaseResult<R> perform(Job& job)
    {
        try {
            if constexpr (std::is_void_v<R>) {
                job(m_database);
                return {};
            } else {
                return DatabaseResult<R>(job(m_database));
            }
        } catch (const DatabaseError& error) {
            return DatabaseResult<R>(error);
        } catch (const std::exception& error) {
            return DatabaseResult<R>(unexpected(error));
        }
    }

    static DatabaseError unexpected(const std::exception& error);
    void enqueue(std::function<void()> task);
    void loop();

    MainQueue& m_mainQueue;
    Database m_database;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace kestrove
