#include "ViewLogic/Focus/FocusTaskCardModel.h"

#include "Engine/LockdownEnforcer.h"
#include "Engine/ProjectStore.h"
#include "Engine/SessionEngine.h"
#include "Platform/Clock.h"
#include "Platform/InstalledApps.h"
#include "Platform/Log.h"
#include "Platform/Preferences.h"
#include "core/Duration.h"
#include "core/NumberFormat.h"
#include "core/Text.h"
#include "core/Uuid.h"

#include <algorithm>

namespace kestrove {

namespace FocusTaskCardModel {

namespace {

const Log focusLog{"focus"};

// How many always-allowed applications the card names before it only counts.
constexpr std::size_t kNamedAlwaysAllowed = 3;

} // namespace

std::string lengthLabel(std::int64_t minutes)
{
    const std::int64_t hours = minutes / 60;
    const std::int64_t rest = minutes % 60;
    if (minutes < 60) {
        return NumberFormat::integer(minutes) + " min";
    }
    if (rest == 0) {
        return NumberFormat::integer(hours) + "h";
    }
    return NumberFormat::integer(hours) + "h " + NumberFormat::integer(rest) + "m";
}

FocusTaskForm initialForm(const Preferences& preferences)
{
    FocusTaskForm form;
    const std::int64_t stored = preferences.integer(kLastLockInMinutesKey).value_or(0);
    // A stored length the card cannot show would start a task of a length nobody chose.
    form.durationMinutes = stored > 0 && stored <= kLengthOptions.back() ? stored : kDefaultMinutes;
    for (const std::string& id :
         preferences.stringArray(kLastAllowedKey).value_or(std::vector<std::string>{})) {
        form.selectedBundleIDs.insert(id);
    }
    return form;
}

bool canStart(const FocusTaskForm& form)
{
    return !Text::isBlank(form.taskName) && !form.selectedBundleIDs.empty();
}

std::string addButtonText(const AppSelection& selection)
{
    return selection.empty() ? "Choose apps" : "Add";
}

std::optional<std::string> alwaysAllowedLine(const std::vector<std::string>& alwaysAllowed,
                                             const InstalledApps& apps)
{
    if (alwaysAllowed.empty()) {
        return std::nullopt;
    }
    std::string line = "+ always allowed: ";
    const std::size_t named = std::min(alwaysAllowed.size(), kNamedAlwaysAllowed);
    for (std::size_t i = 0; i < named; ++i) {
        line += (i > 0 ? ", " : "") + apps.displayName(alwaysAllowed[i]);
    }
    if (alwaysAllowed.size() > kNamedAlwaysAllowed) {
        line += " and " +
                NumberFormat::integer(
                    static_cast<std::int64_t>(alwaysAllowed.size() - kNamedAlwaysAllowed)) +
                " more";
    }
    return line;
}

std::vector<ProjectChoice> projectChoices(const ProjectStore& projects)
{
    std::vector<ProjectChoice> choices{{std::nullopt, "Auto-detect"}};
    for (const Project& project : projects.activeProjects()) {
        choices.push_back({project.id, project.name});
    }
    return choices;
}

bool start(FocusTaskForm& form, SessionEngine& engine)
{
    if (!canStart(form)) {
        return false;
    }
    const std::string name = Text::trimmed(form.taskName);
    focusLog.info("FocusTaskCard.start() name=" + Log::privateValue(name) + " allowed=" +
                  NumberFormat::integer(static_cast<std::int64_t>(form.selectedBundleIDs.size())));
    std::optional<Project> project;
    if (form.projectID) {
        project = engine.projects().projectWithID(*form.projectID);
    }

    FocusTask task;
    task.id = Uuid::generate();
    task.name = name;
    task.estimatedSeconds = static_cast<double>(form.durationMinutes) * 60.0;
    for (const std::string& id : form.selectedBundleIDs) {
        task.allowedBundleIDs.push_back(Text::lowercased(id));
    }
    task.startedAt = engine.clock().now();
    task.isLockdown = true;
    task.isAway = false;
    if (project) {
        task.projectID = project->id;
        task.projectName = project->name;
    }
    engine.startFocusTask(std::move(task));

    Preferences& preferences = engine.preferences();
    preferences.setStringArray(kLastAllowedKey,
                               {form.selectedBundleIDs.begin(), form.selectedBundleIDs.end()});
    preferences.setInteger(kLastLockInMinutesKey, form.durationMinutes);
    form.taskName.clear();
    return true;
}

} // namespace FocusTaskCardModel

namespace ActiveFocusTaskModel {

std::string statusText(bool isAccumulating, bool isIdle)
{
    if (isAccumulating) {
        return "Locked in";
    }
    return isIdle ? "Locked in \u00B7 timer paused while idle"
                  : "Locked in \u00B7 timer runs in your allowed apps";
}

std::string planLine(const FocusTask& task)
{
    std::string line = DurationFormat::hm(task.estimatedSeconds) + " planned \u00B7 " +
                       DurationFormat::live(task.cumulativeOnTaskSeconds) + " done";
    if (task.projectName) {
        line += " \u00B7 " + *task.projectName;
    }
    return line;
}

std::string clockText(const std::optional<FocusTask>& task)
{
    if (!task) {
        return "\u2014";
    }
    return DurationFormat::clock(
        std::max(task->estimatedSeconds - task->cumulativeOnTaskSeconds, 0.0));
}

double progress(const FocusTask& task)
{
    if (!(task.estimatedSeconds > 0)) {
        return 0;
    }
    return std::clamp(task.cumulativeOnTaskSeconds / task.estimatedSeconds, 0.0, 1.0);
}

std::string blockedAttemptsText(std::int64_t attempts)
{
    return NumberFormat::integer(attempts) + " blocked attempt" + (attempts == 1 ? "" : "s");
}

AppSelection allowedNow(SessionEngine& engine)
{
    const auto ids = engine.lockdownEnforcer().allowlist();
    return {ids.begin(), ids.end()};
}

void applyAllowedApps(SessionEngine& engine, const AppSelection& before, const AppSelection& after)
{
    const auto lowered = [](const AppSelection& ids) {
        AppSelection result;
        for (const std::string& id : ids) {
            result.insert(Text::lowercased(id));
        }
        return result;
    };
    const AppSelection was = lowered(before);
    const AppSelection now = lowered(after);
    for (const std::string& id : now) {
        if (!was.contains(id)) {
            engine.allowAppDuringLockIn(id);
        }
    }
    for (const std::string& id : was) {
        if (!now.contains(id)) {
            engine.disallowAppDuringLockIn(id);
        }
    }
}

} // namespace ActiveFocusTaskModel

} // namespace kestrove
