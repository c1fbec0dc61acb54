#include "Platform/StartupSummary.h"

#include <gtest/gtest.h>

using namespace kestrove;

// Where things are kept, then one line per thing watched, then how to stop; a thing that cannot
// be watched changes its own line only, and says why.
TEST(StartupSummary, SaysWhereThingsAreWhatIsReadAndWhyNot)
{
    struct Row
    {
        const char* name;
        WindowAccess windows;
        SessionBusState sessionBus;
        AccessibilityState accessibility;
        std::string titles, sites, bus; // an empty bus line is no line
    };
    const std::string titles = "window titles: read from the X display :0";
    const std::string sites = "browser sites: read over the accessibility bus";
    const std::string noBusSites =
        "browser sites: not read: without a session bus the accessibility bus cannot be found";
    const std::string skipped =
        "; notifications, the focus-state signal and screen-lock events are skipped";
    using W = WindowAccess;
    using B = SessionBusState;
    using A = AccessibilityState;
    const Row rows[] = {
        {"all readable", W::readable, B::connected, A::on, titles, sites, ""},
        {"no window manager", W::noWindowManager, B::connected, A::on,
         "window titles: not read: the window manager on :0 does not support EWMH "
         "(_NET_ACTIVE_WINDOW); start one that does",
         sites, ""},
        {"display lost", W::noDisplay, B::connected, A::on,
         "window titles: not read: the X display :0 cannot be reached; they are read again once "
         "it is back",
         sites, ""},
        {"accessibility off", W::readable, B::connected, A::off, titles,
         "browser sites: not read: accessibility is off (org.a11y.Status IsEnabled); turn it on "
         "in the desktop's settings, then restart the browser",
         ""},
        {"accessibility bus not running", W::readable, B::connected, A::notRunning, titles,
         "browser sites: not read: the accessibility bus is not running (no org.a11y.Bus on the "
         "session bus)",
         ""},
        {"accessibility bus silent", W::readable, B::connected, A::noAnswer, titles,
         "browser sites: not read: the accessibility bus does not answer (org.a11y.Bus)", ""},
        {"no session bus", W::readable, B::missing, A::on, titles, noBusSites,
         "session bus: none (DBUS_SESSION_BUS_ADDRESS is not set), and none is started" + skipped},
        {"session bus unreachable", W::readable, B::unreachable, A::noSessionBus, titles,
         noBusSites, "session bus: cannot connect to DBUS_SESSION_BUS_ADDRESS" + skipped},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StartupFacts facts;
        facts.databasePath = "/home/ada/.local/share/Kestrove/kestrove.db";
        facts.preferencesPath = "/home/ada/.config/Kestrove/preferences.json";
        facts.displayName = ":0";
        facts.windows = row.windows;
        facts.sessionBus = row.sessionBus;
        facts.accessibility = row.accessibility;
        std::vector<std::string> expected = {
            "database: /home/ada/.local/share/Kestrove/kestrove.db",
            "settings: /home/ada/.config/Kestrove/preferences.json", row.titles, row.sites};
        if (!row.bus.empty()) {
            expected.push_back(row.bus);
        }
        expected.push_back("stop with Ctrl+C (or SIGTERM)");
        EXPECT_EQ(startupLines(facts), expected);
    }
}
