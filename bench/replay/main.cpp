// kestrove-replay: writes synthetic timelines and replays timelines through the real tracker
// and session engine on a virtual clock.
#include "replay/ReplayDriver.h"
#include "replay/SyntheticDays.h"
#include "replay/Timeline.h"
#include "replay/YearHistory.h"

#include "Storage/Database.h"

#include "core/Calendar.h"
#include "core/NumberFormat.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

using namespace kestrove;
using namespace kestrove::replay;

namespace {

constexpr const char* kUsage =
    "usage: kestrove-replay generate [--days N] [--seed S] [--first yyyy-mm-dd]\n"
    "       kestrove-replay check FILE\n"
    "       kestrove-replay run [FILE] [--days N] [--seed S] [--first yyyy-mm-dd] [--keep DIR]\n"
    "       kestrove-replay year DATABASE [--days N] [--today N]\n"
    "Without a file, run replays N synthetic days. --keep leaves the database and the\n"
    "preferences in DIR (which must not exist yet). year writes a new database of N days\n"
    "(365) of a heavy user's history up to today and N stretches (2700) of today so far.\n";

struct Options
{
    std::string command;
    std::string file;
    std::string keep;
    std::optional<int> days;
    int today = 2700;
    std::uint64_t seed = 1;
    Date first = 0;
};

// A Monday, so a week of synthetic days starts with work.
Date defaultFirstDay()
{
    return Calendar::date(2026, 11, 2);
}

std::optional<Date> parseDay(const std::string& text)
{
    int year = 0, month = 0, day = 0;
    char dash1 = 0, dash2 = 0;
    std::istringstream stream(text);
    stream.imbue(std::locale::classic());
    if (!(stream >> year >> dash1 >> month >> dash2 >> day) || dash1 != '-' || dash2 != '-') {
        return std::nullopt;
    }
    return Calendar::date(year, month, day);
}

std::optional<Options> parseOptions(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        return std::nullopt;
    }
    Options options;
    options.command = args[0];
    options.first = defaultFirstDay();
    for (std::size_t i = 1; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--days" && hasValue) {
            options.days = std::atoi(args[++i].c_str());
        } else if (args[i] == "--today" && hasValue) {
            options.today = std::atoi(args[++i].c_str());
        } else if (args[i] == "--seed" && hasValue) {
            options.seed = std::strtoull(args[++i].c_str(), nullptr, 10);
        } else if (args[i] == "--keep" && hasValue) {
            options.keep = args[++i];
        } else if (args[i] == "--first" && hasValue) {
            const auto day = parseDay(args[++i]);
            if (!day) {
                return std::nullopt;
            }
            options.first = *day;
        } else if (options.file.empty() && args[i].rfind("--", 0) != 0) {
            options.file = args[i];
        } else {
            return std::nullopt;
        }
    }
    if ((options.days && *options.days < 1) || options.today < 0) {
        return std::nullopt;
    }
    return options;
}

std::optional<Timeline> readTimeline(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::cerr << "kestrove-replay: cannot read " << path << "\n";
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    try {
        return parseTimeline(text.str());
    } catch (const TimelineError& error) {
        std::cerr << "kestrove-replay: " << path << ": " << error.what() << "\n";
        return std::nullopt;
    }
}

int check(const Options& options)
{
    const auto timeline = readTimeline(options.file);
    if (!timeline) {
        return 1;
    }
    std::cout << "events " << NumberFormat::integer(std::int64_t(timeline->events.size()))
              << "\nseconds " << NumberFormat::shortest(timeline->duration) << "\n";
    return 0;
}

std::string megabytes(std::int64_t bytes)
{
    return NumberFormat::fixed(static_cast<double>(bytes) / 1e6, 2) + " MB";
}

int run(const Options& options)
{
    std::optional<Timeline> timeline;
    if (options.file.empty()) {
        timeline = syntheticDays(options.days.value_or(7), options.first, options.seed);
    } else if (!(timeline = readTimeline(options.file))) {
        return 1;
    }
    std::string folder = options.keep;
    if (folder.empty()) {
        char pattern[] = "/tmp/kestrove-replay-XXXXXX";
        folder = mkdtemp(pattern);
    } else if (std::filesystem::exists(folder)) {
        std::cerr << "kestrove-replay: " << folder << " exists already\n";
        return 1;
    }
    const ReplayReport report = replayTimeline(*timeline, folder);
    if (options.keep.empty()) {
        std::filesystem::remove_all(folder);
    }
    const auto perSegment = report.segments > 0 ? report.databaseBytes / report.segments : 0;
    std::cout << "samples " << NumberFormat::integer(report.samples) << "\n"
              << "segments written " << NumberFormat::integer(report.segments) << "\n"
              << "focus tasks " << NumberFormat::integer(report.focusTasks) << "\n"
              << "database size " << megabytes(report.databaseBytes) << " ("
              << NumberFormat::integer(perSegment) << " bytes per segment)\n"
              << "simulated " << NumberFormat::fixed(report.simulatedSeconds / 3600, 1) << " h in "
              << NumberFormat::fixed(report.wallSeconds, 1) << " s ("
              << NumberFormat::integer(static_cast<std::int64_t>(report.throughput()))
              << " simulated seconds per second)\n";
    if (!options.keep.empty()) {
        std::cout << "kept in " << folder << "\n";
    }
    return report.segments > 0 ? 0 : 1;
}

// A new database of a year's history and a heavy today, for runs of the real program.
int year(const Options& options)
{
    if (std::filesystem::exists(options.file)) {
        std::cerr << "kestrove-replay: " << options.file << " exists already\n";
        return 1;
    }
    try {
        Database db(options.file);
        db.open();
        if (const DatabaseError* error = db.openError()) {
            throw *error;
        }
        // A file the current program wrote: the one-time privacy pass is behind it.
        db.applyPrivacyPolicyIfNeeded({}, {});
        writeYearOfHistory(db, Database::systemClock().now(), options.days.value_or(365),
                           options.today);
    } catch (const DatabaseError& error) {
        std::cerr << "kestrove-replay: " << options.file << ": " << error.what() << "\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const auto options = parseOptions(argc, argv);
    if (!options) {
        std::cerr << kUsage;
        return 2;
    }
    if (options->command == "generate") {
        std::cout << formatTimeline(
            syntheticDays(options->days.value_or(7), options->first, options->seed));
        return 0;
    }
    if (options->command == "run") {
        return run(*options);
    }
    if (options->command == "year" && !options->file.empty()) {
        return year(*options);
    }
    if (options->command == "check" && !options->file.empty()) {
        return check(*options);
    }
    std::cerr << kUsage;
    return 2;
}
