#include "Intents/CommandLine.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace kestrove::CommandLine {

namespace {

constexpr std::array<std::string_view, 6> kSubcommands = {"status", "deep-work", "export-card",
                                                          "--help", "-h",        "help"};

std::variant<Command, UsageError> parseExport(const std::vector<std::string>& arguments)
{
    Command command{Kind::exportCard, false, std::nullopt};
    std::optional<std::string> period;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        std::string option = arguments[i];
        std::optional<std::string> value;
        // Both "--period week" and "--period=week".
        if (const auto equals = option.find('=');
            option.starts_with("--") && equals != std::string::npos) {
            value = option.substr(equals + 1);
            option = option.substr(0, equals);
        }
        if (option != "--period" && option != "--output") {
            return UsageError{"export-card: unknown option '" + option + "'"};
        }
        if (!value) {
            if (i + 1 >= arguments.size()) {
                return UsageError{"export-card: " + option + " needs a value"};
            }
            value = arguments[++i];
        }
        std::optional<std::string>& slot = option == "--period" ? period : command.output;
        if (slot) {
            return UsageError{"export-card: " + option + " is given twice"};
        }
        if (value->empty()) {
            return UsageError{"export-card: " + option + " needs a value"};
        }
        slot = *value;
    }
    if (!period) {
        return UsageError{"export-card needs --period today or --period week"};
    }
    if (*period != "today" && *period != "week") {
        return UsageError{"export-card: the period is 'today' or 'week', not '" + *period + "'"};
    }
    command.week = *period == "week";
    return command;
}

} // namespace

bool isSubcommand(const std::vector<std::string>& arguments)
{
    return !arguments.empty() && std::find(kSubcommands.begin(), kSubcommands.end(),
                                           arguments.front()) != kSubcommands.end();
}

std::variant<Command, UsageError> parse(const std::vector<std::string>& arguments)
{
    if (arguments.empty()) {
        return UsageError{"no command given"};
    }
    const std::string& name = arguments.front();
    if (name == "--help" || name == "-h" || name == "help") {
        return Command{Kind::help, false, std::nullopt};
    }
    if (name == "export-card") {
        return parseExport(arguments);
    }
    if (name != "status" && name != "deep-work") {
        return UsageError{"unknown command '" + name + "'"};
    }
    if (arguments.size() > 1) {
        return UsageError{name + " takes no arguments"};
    }
    return Command{name == "status" ? Kind::status : Kind::deepWork, false, std::nullopt};
}

std::vector<std::string> request(const Command& command)
{
    switch (command.kind) {
    case Kind::status:
        return {"status"};
    case Kind::deepWork:
        return {"deep-work"};
    case Kind::exportCard:
        return {"export-card", "--period", command.week ? "week" : "today"};
    case Kind::help:
        break;
    }
    return {"--help"};
}

std::string helpText()
{
    return "Usage: kestrove [LINK]\n"
           "       kestrove status\n"
           "       kestrove deep-work\n"
           "       kestrove export-card --period today|week [--output FILE]\n"
           "\n"
           "Without a command Kestrove starts, or shows the running one; a kestrove: link\n"
           "opens that page.\n"
           "\n"
           "Commands:\n"
           "  status       Print today's deep work, the share of the daily goal reached and\n"
           "               what is tracked right now.\n"
           "  deep-work    Print \"yes\" while in deep work (30 minutes or more of unbroken deep\n"
           "               work), otherwise \"no\".\n"
           "  export-card  Write the share card of today or of this week as a PNG image of\n"
           "               2400 x 1350 pixels to FILE (by default kestrove-today.png or\n"
           "               kestrove-week.png in the current folder) and print its name.\n"
           "  --help       Print this help.\n"
           "\n"
           "The commands ask the running Kestrove; when none runs they read the history\n"
           "without changing it. They need no display.\n"
           "\n"
           "Exit status: 0 on success (and for \"yes\"), 1 for \"no\" or when the command\n"
           "failed, 2 when the command line is wrong.\n";
}

std::string usageMessage(const UsageError& error)
{
    return "kestrove: " + error.message + "\nTry 'kestrove --help' for more information.\n";
}

} // namespace kestrove::CommandLine
