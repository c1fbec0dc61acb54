#include "Subcommands.h"

#include "Engine/GoalTracker.h"
#include "Engine/ProjectStore.h"
#include "Engine/SessionEngine.h"
#include "Platform/Clock.h"
#include "Platform/Preferences.h"
#include "Storage/Database.h"
#include "ViewLogic/Share/ShareCardBuilder.h"
#include "ViewLogic/Share/ShareSheetModel.h"
#include "Views/Share/ShareCardView.h"
#include "core/Calendar.h"

#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <variant>

namespace kestrove {

namespace {

constexpr int kHistoryDays = 90;
constexpr int kRecentDays = 14;

// What the history says when no Kestrove runs, read from the database and the preferences as
// they are on disk.
class HistoryReader
{
public:
    HistoryReader()
        : m_database(Database::defaultPath(), Database::ReadOnly{}), m_projects(loaded(), m_clock)
    {
        try {
            m_database.openReadOnly();
        } catch (const DatabaseError&) {
            // No history yet (or none readable): every answer is made of nothing.
        }
    }

    FocusStatusFacts statusFacts()
    {
        FocusStatusFacts facts;
        facts.running = false;
        facts.deepSecondsToday = todaySummary().deepSeconds;
        const double goalSeconds = goalHours() * 3600.0;
        facts.goalProgress = goalSeconds > 0 ? facts.deepSecondsToday / goalSeconds : 0;
        return facts;
    }

    ShareCard card(bool week)
    {
        const Date now = m_clock.now();
        const Date todayStart = Calendar::startOfDay(now);
        ShareCardInputs inputs;
        inputs.period =
            week ? SharePeriod::weekOf(now, Calendar::firstWeekday()) : SharePeriod::day(now);
        inputs.now = now;
        inputs.projects = m_projects.projects();
        inputs.goalHours = goalHours();
        inputs.graceSeconds = SessionEngine::blockGraceSeconds(m_preferences);
        inputs.handle = m_preferences.string("shareHandle");
        std::vector<DayTotal> history;
        try {
            history =
                m_database.dayTotals(Calendar::addingDays(todayStart, -kHistoryDays), todayStart);
        } catch (const DatabaseError&) {
        }
        const std::size_t first = history.size() > kRecentDays ? history.size() - kRecentDays : 0;
        inputs.recentDays =
            std::vector<DayTotal>(history.begin() + static_cast<long>(first), history.end());
        inputs.streak =
            goalStreak(history, todaySummary().deepSeconds, inputs.goalHours, todayStart);
        return buildShareCard(m_database, inputs);
    }

private:
    Preferences& loaded()
    {
        for (auto& [key, value] : FilePreferences::readValues(FilePreferences::defaultPath())) {
            m_preferences.set(key, std::move(value));
        }
        return m_preferences;
    }

    double goalHours() const
    {
        const double hours = m_preferences.doubleValue(GoalTracker::kGoalKey)
                                 .value_or(GoalTracker::kDefaultGoalHours);
        return hours > 0 ? hours : GoalTracker::kDefaultGoalHours;
    }

    DaySummary todaySummary()
    {
        const Date todayStart = Calendar::startOfDay(m_clock.now());
        std::vector<Segment> segments;
        try {
            segments = m_database.summarySegments(todayStart, Calendar::addingDays(todayStart, 1));
        } catch (const DatabaseError&) {
        }
        const FocusBlockBuilder builder{SessionEngine::blockGraceSeconds(m_preferences), 300};
        return DaySummary::build(todayStart, segments, m_projects.projects(), builder);
    }

    SystemClock m_clock;
    Preferences m_preferences;
    Database m_database;
    ProjectStore m_projects;
};

InstanceChannel::Answer answerFromHistory(const CommandLine::Command& command)
{
    HistoryReader history;
    switch (command.kind) {
    case CommandLine::Kind::status:
        return Subcommands::statusAnswer(history.statusFacts());
    case CommandLine::Kind::deepWork:
        // Nothing is tracked while Kestrove does not run.
        return Subcommands::deepWorkAnswer(false);
    case CommandLine::Kind::exportCard:
        return Subcommands::cardAnswer(history.card(command.week));
    case CommandLine::Kind::help:
        break;
    }
    return {CommandLine::kSuccess, CommandLine::helpText(), {}, {}};
}

int writeCard(const CommandLine::Command& command, const std::string& png)
{
    const std::string path = command.output.value_or(ShareSheetModel::exportFileName(command.week));
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(png.data(), static_cast<qint64>(png.size())) !=
            static_cast<qint64>(png.size()) ||
        !file.commit()) {
        std::cerr << "kestrove: could not write " << path << ": "
                  << file.errorString().toStdString() << "\n";
        return CommandLine::kNoOrFailure;
    }
    std::cout << path << "\n";
    return CommandLine::kSuccess;
}

} // namespace

namespace Subcommands {

InstanceChannel::Answer statusAnswer(const FocusStatusFacts& facts)
{
    return {CommandLine::kSuccess, FocusIntents::statusSentence(facts) + "\n", {}, {}};
}

InstanceChannel::Answer deepWorkAnswer(bool inDeepWork)
{
    return {inDeepWork ? CommandLine::kSuccess : CommandLine::kNoOrFailure,
            inDeepWork ? "yes\n" : "no\n",
            {},
            {}};
}

InstanceChannel::Answer cardAnswer(const ShareCard& card)
{
    const auto png = pngData(renderShareCard(card.data));
    if (!png) {
        return {CommandLine::kNoOrFailure, {}, std::string(CommandLine::kRenderFailed) + "\n", {}};
    }
    return {CommandLine::kSuccess, {}, {}, png->toStdString()};
}

InstanceChannel::Answer refusal(const std::string& message)
{
    return {CommandLine::kUsage, {}, CommandLine::usageMessage({message}), {}};
}

} // namespace Subcommands

int runSubcommand(int argc, char** argv, const std::vector<std::string>& arguments)
{
    const auto parsed = CommandLine::parse(arguments);
    if (const auto* error = std::get_if<CommandLine::UsageError>(&parsed)) {
        std::cerr << CommandLine::usageMessage(*error);
        return CommandLine::kUsage;
    }
    const CommandLine::Command command = std::get<CommandLine::Command>(parsed);
    if (command.kind == CommandLine::Kind::help) {
        std::cout << CommandLine::helpText();
        return CommandLine::kSuccess;
    }
    // No window is ever shown: the card is painted offscreen, with or without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication qt(argc, argv);
    QGuiApplication::setApplicationName("Kestrove");

    std::optional<InstanceChannel::Answer> answer =
        InstanceChannel::request(CommandLine::request(command));
    if (!answer) {
        answer = answerFromHistory(command);
    }
    std::cout << answer->output;
    std::cerr << answer->error;
    if (answer->exitCode != CommandLine::kSuccess ||
        command.kind != CommandLine::Kind::exportCard) {
        return answer->exitCode;
    }
    return writeCard(command, answer->file);
}

} // namespace kestrove
