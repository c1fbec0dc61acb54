#pragma once

#include "Engine/AppAllowlistPresets.h"
#include "ViewLogic/Focus/AppPickerModel.h"
#include "core/FocusTask.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrove {

class InstalledApps;
class Preferences;
class ProjectStore;
class SessionEngine;

// What the user filled in on the card's form; it lives as long as the card.
struct FocusTaskForm
{
    std::string taskName;
    std::int64_t durationMinutes = 45;
    AppSelection selectedBundleIDs;
    std::optional<std::string> projectID; // none: the tracker detects the project
};

// One entry of the card's project menu.
struct ProjectChoice
{
    std::optional<std::string> projectID;
    std::string label;

    bool operator==(const ProjectChoice&) const = default;
};

// The texts and decisions of the card that starts a lock-in, and the start itself.
namespace FocusTaskCardModel {

inline constexpr const char* kLastLockInMinutesKey = "lastLockInMinutes";
inline constexpr const char* kLastAllowedKey = AppAllowlistPresets::kOlderLastUsedKey;
inline constexpr std::int64_t kDefaultMinutes = 45;
inline constexpr std::array<std::int64_t, 8> kLengthOptions = {15, 25, 30, 45, 60, 90, 120, 180};

inline constexpr const char* kTitle = "Lock in";
inline constexpr const char* kInfoDetail =
    "Pick a task, a length and the apps you need. Every other app is walled off until the timer "
    "ends. Leaving early means typing a long sentence. Time counts only while you are in those "
    "apps and active.";
inline constexpr const char* kNamePlaceholder =
    "What are you finishing? e.g. Ship the onboarding flow";

// "15 min", "1h", "1h 30m".
std::string lengthLabel(std::int64_t minutes);

// The form as the last start left it: its length (45 when the stored one is not a length the
// card offers room for) and its applications; no name, no project.
FocusTaskForm initialForm(const Preferences& preferences);

// A name that is more than white space and line breaks, and at least one application.
bool canStart(const FocusTaskForm& form);

// "Choose apps" before any application is chosen, "Add" after.
std::string addButtonText(const AppSelection& selection);

// "+ always allowed: Files, Terminal, Notes and 2 more"; nothing when none is always allowed.
std::optional<std::string> alwaysAllowedLine(const std::vector<std::string>& alwaysAllowed,
                                             const InstalledApps& apps);

// "Auto-detect", then the projects that are not archived, in the store's order.
std::vector<ProjectChoice> projectChoices(const ProjectStore& projects);

// Starts the lockdown focus task the form describes, remembers its length and applications
// for the next form and clears the name; false (and nothing changes) when it cannot start.
bool start(FocusTaskForm& form, SessionEngine& engine);

} // namespace FocusTaskCardModel

// The texts of the running task's view.
namespace ActiveFocusTaskModel {

inline constexpr const char* kFinishTitle = "Mark this task done and unlock?";
inline constexpr const char* kFinishAction = "Yes, I finished";
inline constexpr const char* kFinishMessage =
    "Only if you genuinely finished. This ends the lock-in.";

std::string statusText(bool isAccumulating, bool isIdle);
// "1h 30m planned · 12m 05s done · Kestrove".
std::string planLine(const FocusTask& task);
// The time still to work, never below zero; "—" without a task.
std::string clockText(const std::optional<FocusTask>& task);
// From 0 to 1; 0 without an estimate.
double progress(const FocusTask& task);
// "1 blocked attempt", "2 blocked attempts".
std::string blockedAttemptsText(std::int64_t attempts);

// What "Allow another app" starts from: every application the lockdown lets through now.
AppSelection allowedNow(SessionEngine& engine);
// Applies the picker's answer: what the user ticked joins the task and the lockdown, what they
// unticked leaves both; what stayed as it was is left alone.
void applyAllowedApps(SessionEngine& engine, const AppSelection& before, const AppSelection& after);

} // namespace ActiveFocusTaskModel

} // namespace kestrove
