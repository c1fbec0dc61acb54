#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kestrove {

// The `kestrove` subcommands that answer automation: what they ask, as parsed from the command
// line, and the words they answer with.
namespace CommandLine {

enum class Kind
{
    help,
    status,
    deepWork,
    exportCard
};

struct Command
{
    Kind kind = Kind::help;
    bool week = false;                 // export-card: this week rather than today
    std::optional<std::string> output; // export-card: where the PNG goes

    bool operator==(const Command&) const = default;
};

// A command line that could not be understood, with what to tell the user.
struct UsageError
{
    std::string message;

    bool operator==(const UsageError&) const = default;
};

// Exit statuses, as scripts read them.
inline constexpr int kSuccess = 0;
inline constexpr int kNoOrFailure = 1; // deep-work's "no", or a command that failed
inline constexpr int kUsage = 2;

inline constexpr const char* kRenderFailed = "Could not render the card.";

// Whether the arguments name a subcommand; anything else starts Kestrove (or forwards links).
bool isSubcommand(const std::vector<std::string>& arguments);
std::variant<Command, UsageError> parse(const std::vector<std::string>& arguments);
// The command as the running instance is asked it: without the output file, which only the
// asking process writes.
std::vector<std::string> request(const Command& command);
std::string helpText();
// The line a usage error prints on standard error, with the hint to --help.
std::string usageMessage(const UsageError& error);

} // namespace CommandLine
} // namespace kestrove
