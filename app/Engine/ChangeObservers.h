#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace kestrove {

// A registration that ends when it is destroyed: an observer keeps it as long as it wants to
// be told, so a closed window is never called back. It may outlive the list it came from.
class Subscription
{
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel) : m_cancel(std::move(cancel)) {}
    ~Subscription() { cancel(); }
    Subscription(Subscription&& other) noexcept : m_cancel(std::exchange(other.m_cancel, {})) {}
    Subscription& operator=(Subscription&& other) noexcept
    {
        if (this != &other) {
            cancel();
            m_cancel = std::exchange(other.m_cancel, {});
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;

    void cancel()
    {
        if (m_cancel) {
            std::exchange(m_cancel, {})();
        }
    }

private:
    std::function<void()> m_cancel;
};

// Who watches a store's published fields (the views). The store tells them after a field
// really changed; assigning an equal value tells nobody.
class ChangeObservers
{
public:
    [[nodiscard]] Subscription subscribe(std::function<void()> observer)
    {
        const Token token = ++m_state->lastToken;
        m_state->observers.emplace(token,
                                   std::make_shared<std::function<void()>>(std::move(observer)));
        return Subscription([weak = std::weak_ptr<State>(m_state), token] {
            if (const auto state = weak.lock()) {
                state->observers.erase(token);
            }
        });
    }

    void notify() const
    {
        // A snapshot, so that an observer may subscribe or unsubscribe while it is told; one
        // that unsubscribed meanwhile is skipped.
        const auto current = m_state->observers;
        for (const auto& [token, observer] : current) {
            if (m_state->observers.contains(token)) {
                (*observer)();
            }
        }
    }

    bool isEmpty() const { return m_state->observers.empty(); }

private:
    using Token = std::uint64_t;
    struct State
    {
        std::map<Token, std::shared_ptr<std::function<void()>>> observers;
        Token lastToken = 0;
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

} // namespace kestrove
