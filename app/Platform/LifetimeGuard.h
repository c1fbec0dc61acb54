#pragma once

#include <functional>
#include <memory>
#include <utility>

namespace kestrove {

// Held by an object whose callbacks may come back after it is gone (a database job's
// completion, an answer posted to the main queue). Callbacks wrapped with guarded() run only
// while the guard lives. Guards and the wrapped calls belong to the main thread.
class LifetimeGuard
{
public:
    LifetimeGuard() = default;
    LifetimeGuard(const LifetimeGuard&) = delete;
    LifetimeGuard& operator=(const LifetimeGuard&) = delete;

    // `callback`, dropped silently once this guard is destroyed.
    template <typename... Args>
    std::function<void(Args...)> guarded(std::function<void(Args...)> callback) const
    {
        if (!callback) {
            return {};
        }
        return [watch = std::weak_ptr<const char>(m_token),
                callback = std::move(callback)](Args... args) {
            if (!watch.expired()) {
                callback(std::forward<Args>(args)...);
            }
        };
    }

    // For a lambda: the signature is named once, here.
    template <typename... Args, typename F> std::function<void(Args...)> wrap(F callback) const
    {
        return guarded(std::function<void(Args...)>(std::move(callback)));
    }

private:
    std::shared_ptr<const char> m_token = std::make_shared<const char>('\0');
};

} // namespace kestrove
