#include "ViewLogic/Settings/SettingsModel.h"

#include "Engine/FocusBridge.h"
#include "Engine/LockInDisplay.h"
#include "Engine/SessionEngine.h"
#include "Platform/LoginItem.h"
#include "Platform/Preferences.h"

#include <charconv>
#include <cmath>
#include <filesystem>

namespace kestrove {

namespace {

// Numbers never follow the user's locale here.
std::string number(double value, int decimals)
{
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

std::string twoDigits(int value)
{
    return (value < 10 ? "0" : "") + std::to_string(value);
}

std::vector<SettingOption<int>> minuteOptions(std::initializer_list<int> minutes)
{
    std::vector<SettingOption<int>> options;
    for (const int m : minutes) {
        options.push_back({m, MeasurementCard::minutesLabel(m)});
    }
    return options;
}

std::vector<SettingOption<int>> clockOptions(int from, int to, std::string (*label)(int))
{
    std::vector<SettingOption<int>> options;
    for (int m = from; m <= to; m += 30) {
        options.push_back({m, label(m)});
    }
    return options;
}

} // namespace

PermissionRow::Trailing PermissionRow::trailing() const
{
    if (granted == false && hasAction) {
        return Trailing::grant;
    }
    return granted == true ? Trailing::on : Trailing::nothing;
}

PermissionRow PermissionsCard::windowTitles(bool readable)
{
    std::string detail = "Reads window titles from the X display to detect which project you are "
                         "in. Without it, time still counts but everything lands in Unassigned.";
    if (!readable) {
        detail += " Nothing to grant: Kestrove needs an X session with a window manager that "
                  "announces the active window.";
    }
    return {"Window titles", std::move(detail), readable, false};
}

PermissionRow PermissionsCard::browserSites(const BrowserAccess& access)
{
    std::string detail = "Lets Kestrove read the current tab URL over the desktop's "
                         "accessibility bus so websites are classified by domain. Only the "
                         "domain is stored.";
    std::optional<bool> granted;
    bool action = false;
    if (access.state == AccessibilityState::on) {
        granted = true;
        if (access.turnedOnHere) {
            detail += " Restart Chrome, Chromium, Brave, Edge or Vivaldi if one is open: they "
                      "join only when they start. Firefox picks it up by itself.";
        }
    } else if (access.state == AccessibilityState::off ||
               access.state == AccessibilityState::notRunning) {
        // A desktop that starts the accessibility bus on demand starts it when asked to turn
        // accessibility on.
        granted = false;
        action = true;
        if (access.turnOnFailed) {
            detail += " Accessibility could not be turned on; try again, or turn it on in "
                      "your desktop's settings.";
        }
    } else if (access.state) {
        // No bus to ask, or none that answers: there is no switch to offer here.
        detail += " The session bus does not answer, so sites cannot be read.";
    }
    return {"Accessibility (browsers)", std::move(detail), granted, action};
}

PermissionRow PermissionsCard::hidingApps()
{
    return {"Hiding apps during a lockdown",
            "Only used when you start a lockdown. Apps that are not on your allowlist are "
            "minimised through the X display; nothing needs to be granted.",
            std::nullopt, false};
}

std::vector<SettingOption<double>> MeasurementCard::goalOptions()
{
    std::vector<SettingOption<double>> options;
    for (const double hours : {1.0, 1.5, 2.0, 2.5, 3.0, 3.5, 4.0, 5.0, 6.0, 8.0}) {
        options.push_back({hours, goalLabel(hours)});
    }
    return options;
}

std::vector<SettingOption<int>> MeasurementCard::idleOptions()
{
    return minuteOptions({2, 3, 5, 8, 10, 15});
}

std::vector<SettingOption<int>> MeasurementCard::graceOptions()
{
    return minuteOptions({1, 2, 3, 5, 10});
}

std::string MeasurementCard::goalLabel(double hours)
{
    if (std::isfinite(hours) && hours == std::floor(hours) && std::fabs(hours) < 1e9) {
        return std::to_string(static_cast<long long>(hours)) + "h";
    }
    return number(hours, 1) + "h";
}

std::string MeasurementCard::minutesLabel(int minutes)
{
    return std::to_string(minutes) + " min";
}

int MeasurementCard::storedMinutes(const Preferences& preferences, const char* key, int fallback)
{
    const auto stored = preferences.integer(key);
    if (!stored || *stored < 1) {
        return fallback;
    }
    return static_cast<int>(*stored);
}

std::string twoDigitClock(int minuteOfDay)
{
    return twoDigits(minuteOfDay / 60) + ":" + twoDigits(minuteOfDay % 60);
}

std::string shortClock(int minuteOfDay)
{
    return std::to_string(minuteOfDay / 60) + ":" + twoDigits(minuteOfDay % 60);
}

const char* const MorningCard::kHelp =
    "With this on, the computer is walled off from the start time until the day has at least "
    "one deep work block in it. The wall holds the keyboard and the pointer: other windows, the "
    "panel and the desktop's menus cannot be reached. The only way through is the form, or "
    "holding Ctrl+Alt+Shift for five seconds, which releases the wall for the day and is there "
    "so a bug can never trap you.";

std::vector<SettingOption<int>> MorningCard::startOptions()
{
    return clockOptions(240, 720, twoDigitClock);
}

std::vector<MorningCard::WeekdayChip> MorningCard::weekdayChips(const std::set<int>& active)
{
    static constexpr const char* kLabels[] = {"S", "M", "T", "W", "T", "F", "S"};
    std::vector<WeekdayChip> chips;
    for (int day = 1; day <= 7; ++day) {
        chips.push_back({day, kLabels[day - 1], active.contains(day)});
    }
    return chips;
}

std::optional<std::set<int>> MorningCard::pressWeekday(const std::set<int>& active, int day)
{
    std::set<int> days = active;
    if (!days.erase(day)) {
        days.insert(day);
    }
    if (days.empty()) {
        return std::nullopt;
    }
    return days;
}

bool MorningCard::mayPreviewWall(bool wallUp, bool lockdownTaskRunning)
{
    return !wallUp && !lockdownTaskRunning;
}

std::vector<SettingOption<int>> GeneralCard::summaryOptions()
{
    return clockOptions(900, 1380, shortClock);
}

int GeneralCard::summaryMinute(const Preferences& preferences)
{
    const auto stored = preferences.integer(SessionEngine::kSummaryMinuteKey);
    if (!stored || *stored < 1) {
        return kDefaultSummaryMinute;
    }
    return static_cast<int>(*stored);
}

bool GeneralCard::phoneFocusEnabled(const Preferences& preferences)
{
    return preferences.boolValue(CommandFocusBridge::kEnabledKey).value_or(false);
}

std::string GeneralCard::phoneFocusDetail(const Preferences& preferences)
{
    const auto name = [&](const char* key, const char* fallback) {
        const auto stored = preferences.string(key);
        return stored && !stored->empty() ? *stored : std::string(fallback);
    };
    return "When a lockdown starts, run the command \"" +
           name(CommandFocusBridge::kStartShortcutKey, CommandFocusBridge::kDefaultStartShortcut) +
           "\" to turn on a Focus mode shared to your phone, and \"" +
           name(CommandFocusBridge::kEndShortcutKey, CommandFocusBridge::kDefaultEndShortcut) +
           "\" when it ends.";
}

void GeneralCard::setLockInDisplayEnabled(SessionEngine& engine, bool enabled)
{
    engine.preferences().setBool(LockInDisplay::kEnabledKey, enabled);
    if (enabled && engine.focusTaskManager().active()) {
        engine.showLockInDisplay();
    } else if (engine.lockInDisplay().hasPanel()) {
        engine.lockInDisplay().orderOut();
    }
}

LaunchAtLoginSwitch::LaunchAtLoginSwitch(LoginItem& item) : m_item(item), m_on(item.isEnabled()) {}

bool LaunchAtLoginSwitch::change(bool on)
{
    m_on = m_item.setEnabled(on) ? on : m_item.isEnabled();
    return m_on;
}

std::string DataCard::sizeText(std::uint64_t bytes)
{
    const double mb = static_cast<double>(bytes) / 1048576.0;
    if (mb >= 1.0) {
        return number(mb, 1) + " MB";
    }
    return std::to_string(bytes / 1024) + " KB";
}

std::string DataCard::folderOf(const std::string& databasePath)
{
    return std::filesystem::path(databasePath).parent_path().string();
}

} // namespace kestrove
