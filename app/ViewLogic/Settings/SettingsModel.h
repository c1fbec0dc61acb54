#pragma once

#include "Platform/StartupSummary.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kestrove {

class LoginItem;
class Preferences;
class SessionEngine;

// One entry of a settings menu: the value it stands for and the text it shows.
template <typename T> struct SettingOption
{
    T value;
    std::string label;
    bool operator==(const SettingOption&) const = default;
};

// The entry showing `value`; nothing when the stored value is none of the options, which
// then stays stored until the user picks one.
template <typename T>
std::optional<std::size_t> selectedOption(const std::vector<SettingOption<T>>& options, T value)
{
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (options[i].value == value) {
            return i;
        }
    }
    return std::nullopt;
}

// The page's frame and the texts of its permission and measurement cards.
struct SettingsPage
{
    static constexpr const char* kEyebrow = "Settings";
    static constexpr const char* kTitle = "How deep work is measured";
    static constexpr int kSideMargin = 32;
    static constexpr int kTopMargin = 40;
    static constexpr int kBottomMargin = 32;
    static constexpr int kCardSpacing = 22;
    static constexpr int kCardPadding = 18;
};

// One row of the permissions card: a dot (green granted, red not, grey untracked), a title
// over its detail, and a "Grant" button or "On" at the trailing edge.
struct PermissionRow
{
    enum class Trailing
    {
        grant,
        on,
        nothing
    };

    std::string title;
    std::string detail;
    std::optional<bool> granted; // absent: not tracked here
    bool hasAction = false;

    Trailing trailing() const;
    bool operator==(const PermissionRow&) const = default;
};

struct PermissionsCard
{
    static constexpr const char* kTitle = "Permissions";
    static constexpr const char* kFootnote =
        "Keystrokes are never read. Kestrove only asks the X display how long ago your last "
        "input was.";

    // Window titles come from the X display; usable means granted, and there is nothing to ask.
    static PermissionRow windowTitles(bool readable);
    // Browser sites come over the desktop's accessibility bus; "Grant" switches it on. After
    // switching it on, browsers of the Chromium family already open must be restarted.
    struct BrowserAccess
    {
        std::optional<AccessibilityState> state; // absent until first read
        bool turnedOnHere = false;
        bool turnOnFailed = false;
    };
    static PermissionRow browserSites(const BrowserAccess& access);
    static PermissionRow hidingApps();
};

struct MeasurementCard
{
    static constexpr const char* kTitle = "Measurement";
    static constexpr int kDefaultIdleMinutes = 5;
    static constexpr int kDefaultGraceMinutes = 3;

    static std::vector<SettingOption<double>> goalOptions();
    static std::vector<SettingOption<int>> idleOptions();
    static std::vector<SettingOption<int>> graceOptions();
    // "4h", "1.5h".
    static std::string goalLabel(double hours);
    // "5 min".
    static std::string minutesLabel(int minutes);
    // The stored minutes, or `fallback` when absent or below 1.
    static int storedMinutes(const Preferences& preferences, const char* key, int fallback);
};

// Minutes of the day as the clock texts of the menus.
std::string twoDigitClock(int minuteOfDay); // "06:30"
std::string shortClock(int minuteOfDay);    // "6:30"

struct MorningCard
{
    static constexpr const char* kTitle = "Morning plan";
    static const char* const kHelp;

    // 04:00 to 12:00 every half hour.
    static std::vector<SettingOption<int>> startOptions();

    struct WeekdayChip
    {
        int day; // 1 = Sunday ... 7 = Saturday
        std::string label;
        bool active;
        bool operator==(const WeekdayChip&) const = default;
    };
    // Sunday first, whatever day the user's week starts on.
    static std::vector<WeekdayChip> weekdayChips(const std::set<int>& active);
    // The days after pressing `day`'s chip; nothing when that would leave no day at all.
    static std::optional<std::set<int>> pressWeekday(const std::set<int>& active, int day);

    // A preview raises the wall and a morning-gate lockdown; over a focus task's lockdown
    // that would take the task's lockdown down with it when the preview closes.
    static bool mayPreviewWall(bool wallUp, bool lockdownTaskRunning);
    static constexpr const char* kPreviewRefused =
        "The wall can be previewed once the running lockdown has ended.";
};

struct GeneralCard
{
    static constexpr const char* kTitle = "General";
    static constexpr int kDefaultSummaryMinute = 1110;

    // 15:00 to 23:00 every half hour.
    static std::vector<SettingOption<int>> summaryOptions();
    static int summaryMinute(const Preferences& preferences);
    static bool phoneFocusEnabled(const Preferences& preferences);
    // Says which commands run, with the names the user configured.
    static std::string phoneFocusDetail(const Preferences& preferences);
    // Stores the choice; shows the display at once while a focus task runs, else hides it.
    static void setLockInDisplayEnabled(SessionEngine& engine, bool enabled);
};

// The "Launch at login" switch. A change the desktop refused is corrected to what the
// start-up list really holds, so the switch never claims what is not so.
class LaunchAtLoginSwitch
{
public:
    explicit LaunchAtLoginSwitch(LoginItem& item);

    bool isOn() const { return m_on; }
    // Returns the value the switch shows afterwards.
    bool change(bool on);

private:
    LoginItem& m_item;
    bool m_on;
};

struct DataCard
{
    static constexpr const char* kTitle = "Data";
    static constexpr const char* kUnknownSize = "—";

    // "1.0 MB" from one mebibyte on, else whole kilobytes ("1023 KB").
    static std::string sizeText(std::uint64_t bytes);
    // The folder holding the database file.
    static std::string folderOf(const std::string& databasePath);
};

} // namespace kestrove
