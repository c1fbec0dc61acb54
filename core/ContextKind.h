#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kestrove {

// The kind of a moment of activity, stored as its text.
enum class ContextKind { deep, shallow, distraction, neutral, idle };

namespace ContextKinds {

inline constexpr std::array<ContextKind, 5> allCases = {
    ContextKind::deep, ContextKind::shallow, ContextKind::distraction, ContextKind::neutral,
    ContextKind::idle};
// The kinds a user may give an application or a site (never idle).
inline constexpr std::array<ContextKind, 4> assignable = {
    ContextKind::deep, ContextKind::shallow, ContextKind::distraction, ContextKind::neutral};

std::optional<ContextKind> fromRawValue(std::string_view text);
// Older stored categories: idle wins, then an exact match of the three known texts.
ContextKind fromLegacyCategory(std::string_view category, bool isIdle);

} // namespace ContextKinds

std::string_view rawValue(ContextKind kind);
std::string_view displayName(ContextKind kind);
std::string_view adjective(ContextKind kind);
inline bool isActive(ContextKind kind)
{
    return kind != ContextKind::idle;
}

// The lock-in state the engine hands to the sampler; never stored.
enum class LockInState { none, onTask, offTask, away };

} // namespace kestrove
