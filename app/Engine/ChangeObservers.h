#pragma once

#include <cstdint>
#include <functional>
#include <map>

namespace kestrove {

// Who watches a store's published fields (the views). The store tells them after a field
// really changed; assigning an equal value tells nobody.
class ChangeObservers
{
public:
    using Token = std::uint64_t;

    Token add(std::function<void()> observer)
    {
        m_observers.emplace(++m_lastToken, std::move(observer));
        return m_lastToken;
    }
    void remove(Token token) { m_observers.erase(token); }

    void notify() const
    {
        // A copy, so that an observer may add or remove observers while it is told.
        const auto current = m_observers;
        for (const auto& [token, observer] : current) {
            observer();
        }
    }

private:
    std::map<Token, std::function<void()>> m_observers;
    Token m_lastToken = 0;
};

} // namespace kestrove
