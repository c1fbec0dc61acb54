#include "Platform/StartupSummary.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

StartupFacts everythingReadable()
{
    StartupFacts facts;
    facts.databasePath = "/home/ada/.local/share/Kestrove/kestrove.db";
    facts.preferencesPath = "/home/ada/.config/Kestrove/preferences.json";
    facts.displayName = ":0";
    return facts;
}

} // namespace

TEST(StartupSummary, EverythingReadable)
{
    const std::vector<std::string> expected = {
        "database: /home/ada/.local/share/Kestrove/kestrove.db",
        "settings: /home/ada/.config/Kestrove/preferences.json",
        "window titles: read from the X display :0",
        "browser sites: read over the accessibility bus",
        "stop with Ctrl+C (or SIGTERM)",
    };
    EXPECT_EQ(startupLines(everythingReadable()), expected);
}

// Each fact that is not as it should be changes its own line only, and says why.
TEST(StartupSummary, EachMissingPieceSaysWhy)
{
    struct Row
    {
        const char* name;
        WindowAccess windows;
        SessionBusState sessionBus;
        AccessibilityState accessibility;
        std::vector<std::string> changed; // from the window titles' line on
    };
    const std::string stop = "stop with Ctrl+C (or SIGTERM)";
    const std::string titles = "window titles: read from the X display :0";
    const std::string sites = "browser sites: read over the accessibility bus";
    const std::string noBusSites =
        "browser sites: not read: there is no session bus to find the accessibility bus on";
    const Row rows[] = {
        {"no window manager",
         WindowAccess::noWindowManager,
         SessionBusState::connected,
         AccessibilityState::on,
         {"window titles: not read: the window manager on :0 does not support EWMH "
          "(_NET_ACTIVE_WINDOW); start one that does",
          sites, stop}},
        {"display lost",
         WindowAccess::noDisplay,
         SessionBusState::connected,
         AccessibilityState::on,
         {"window titles: not read: the X display :0 cannot be reached; they are read again "
          "once it is back",
          sites, stop}},
        {"accessibility off",
         WindowAccess::readable,
         SessionBusState::connected,
         AccessibilityState::off,
         {titles,
          "browser sites: not read: accessibility is off (org.a11y.Status IsEnabled); turn it "
          "on in the desktop's settings, then restart the browser",
          stop}},
        {"accessibility bus not running",
         WindowAccess::readable,
         SessionBusState::connected,
         AccessibilityState::notRunning,
         {titles,
          "browser sites: not read: the accessibility bus is not running (no org.a11y.Bus on the "
          "session bus)",
          stop}},
        {"accessibility bus silent",
         WindowAccess::readable,
         SessionBusState::connected,
         AccessibilityState::noAnswer,
         {titles, "browser sites: not read: the accessibility bus does not answer (org.a11y.Bus)",
          stop}},
        {"no session bus",
         WindowAccess::readable,
         SessionBusState::missing,
         AccessibilityState::on,
         {titles, noBusSites,
          "session bus: none (DBUS_SESSION_BUS_ADDRESS is not set), and none is started; "
          "notifications, the focus-state signal and screen-lock events are skipped",
          stop}},
        {"session bus unreachable",
         WindowAccess::readable,
         SessionBusState::unreachable,
         AccessibilityState::noSessionBus,
         {titles, noBusSites,
          "session bus: cannot connect to DBUS_SESSION_BUS_ADDRESS; notifications, the "
          "focus-state signal and screen-lock events are skipped",
          stop}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StartupFacts facts = everythingReadable();
        facts.windows = row.windows;
        facts.sessionBus = row.sessionBus;
        facts.accessibility = row.accessibility;
        std::vector<std::string> expected = {
            "database: /home/ada/.local/share/Kestrove/kestrove.db",
            "settings: /home/ada/.config/Kestrove/preferences.json",
        };
        expected.insert(expected.end(), row.changed.begin(), row.changed.end());
        EXPECT_EQ(startupLines(facts), expected);
    }
}
