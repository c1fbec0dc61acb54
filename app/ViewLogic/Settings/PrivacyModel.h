#pragma once

#include "core/Segment.h"

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kestrove {

class InstalledApps;
class PrivacyStore;

// The privacy card: what is being recorded this second, the private applications and sites,
// browser titles and how long window titles are kept.
struct PrivacyCard
{
    static constexpr const char* kTitle = "Privacy";
    static constexpr const char* kTrailing = "everything stays on this computer";
    static constexpr const char* kTipTitle = "What is recorded";
    static constexpr const char* kTipDetail =
        "App names and how long you were in each. Window titles, except from browsers and "
        "private apps. Website domains only, never the full URL. No keystrokes, no "
        "screenshots, no file paths. Nothing is sent anywhere.";
    static constexpr const char* kNoPrivateApps =
        "No private apps. Titles from every app are kept.";
    static constexpr const char* kIncognitoNote =
        "Incognito windows in Chrome, Brave, Edge and Vivaldi are never read.";
    static constexpr const char* kSitePlaceholder = "mybank.com";
    static constexpr const char* kTitleExample = "github.com";

    // "Recording now" or "Paused".
    static std::string recordingTitle(bool paused);
    // App · site · title · kind, showing what the privacy policy let through.
    static std::string recordingLine(bool paused, const std::optional<Segment>& open);

    // The retention menu: 7, 30 and 90 days, and "Forever" (tag 0, stored as absent).
    struct RetentionOption
    {
        int tag;
        std::string label;
        bool operator==(const RetentionOption&) const = default;
    };
    static std::vector<RetentionOption> retentionOptions();
    static int retentionTag(std::optional<int> days);

    // The private applications in the order of their names, ignoring case.
    static std::vector<std::string>
    orderedApps(const std::set<std::string>& ids,
                const std::function<std::string(const std::string&)>& name);
    static bool differsFromDefaults(const std::set<std::string>& ids);
};

// The names of private applications, looked up once per identifier while the card lives.
// An identifier no installed application answers to shows as itself, and is asked again on
// the next draw, since the list of installed applications may still be loading.
class PrivateAppNames
{
public:
    explicit PrivateAppNames(const InstalledApps& apps) : m_apps(apps) {}

    std::string operator()(const std::string& bundleID);
    std::size_t lookUps() const { return m_lookUps; }

private:
    const InstalledApps& m_apps;
    std::map<std::string, std::string> m_names;
    std::size_t m_lookUps = 0;
};

// The private-sites field: "Add" is enabled only for a text that gives a dotted domain; a
// text the store would refuse stays in the field for the user to correct, and Return with it
// does nothing.
class PrivateSiteField
{
public:
    const std::string& text() const { return m_text; }
    void setText(std::string text) { m_text = std::move(text); }
    bool mayAdd() const;
    // Hands the text to the store and empties the field; false, and nothing changes, when
    // "Add" is disabled.
    bool submit(PrivacyStore& store);

private:
    std::string m_text;
};

} // namespace kestrove
