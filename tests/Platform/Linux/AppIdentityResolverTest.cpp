#include "Platform/Linux/AppIdentityResolver.h"
#include "DesktopTestSupport.h"

#include <gtest/gtest.h>

namespace kestrove {
namespace {

using testing_support::TemporaryFolder;

std::string entry(const std::string& name, const std::string& wmClass = "")
{
    std::string text = "[Desktop Entry]\nType=Application\nName=" + name + "\n";
    if (!wmClass.empty()) {
        text += "StartupWMClass=" + wmClass + "\n";
    }
    return text + "[Desktop Action new]\nName=New Window\n";
}

class AppIdentityResolverTest : public testing::Test
{
protected:
    AppIdentityResolverTest()
    {
        user.write("applications/firefox-esr.desktop", entry("Firefox ESR"));
        user.write("applications/org.gnome.Nautilus.desktop", entry("Files"));
        user.write("applications/jetbrains-idea.desktop", entry("IntelliJ IDEA", "jetbrains-idea"));
        user.write("applications/kde4/okular.desktop", entry("Okular"));
        user.write("applications/old.desktop", entry("Removed") + "[Desktop Entry]\nHidden=true\n");
        user.write("applications/readme.txt", entry("Not an entry"));
        system.write("applications/firefox-esr.desktop", entry("Shadowed"));
        system.write("applications/code.desktop", entry("Visual Studio Code"));
        resolver.setEntries(DesktopEntries::scan({user.path, system.path}));
    }

    TemporaryFolder user;
    TemporaryFolder system;
    AppIdentityResolver resolver;
};

TEST_F(AppIdentityResolverTest, ResolvesInOrderThenLowerCasesAndMapsAliases)
{
    struct Case
    {
        const char* label;
        WindowIdentity window;
        AppIdentity expected;
    };
    const Case cases[] = {
        {"GTK id beats everything",
         {"org.gnome.Nautilus", "okular", "org.x.Y", "code", "Code"},
         {"org.gnome.nautilus", "Files"}},
        {"KDE desktop file, bare or as a path",
         {"", "/usr/share/applications/kde4-okular.desktop", "org.x.Y", "okular", "okular"},
         {"kde4-okular", "Okular"}},
        {"Flatpak id before WM_CLASS",
         {"", "", "com.slack.Slack", "slack", "Slack"},
         {"com.tinyspeck.slackmacgap", "Slack"}},
        {"entry by StartupWMClass",
         {"", "", "", "idea", "jetbrains-idea"},
         {"com.jetbrains.intellij", "IntelliJ IDEA"}},
        {"entry by class, ignoring case",
         {"", "", "", "code", "Code"},
         {"com.microsoft.vscode", "Visual Studio Code"}},
        {"entry by instance",
         {"", "", "", "firefox-esr", "Firefox-esr-browser"},
         {"org.mozilla.firefox", "Firefox ESR"}},
        {"bare WM_CLASS class", {"", "", "", "xterm", "XTerm"}, {"xterm", "XTerm"}},
        {"hidden entries and other files are no entries",
         {"", "", "", "old", "readme.txt"},
         {"readme.txt", "readme.txt"}},
        {"alias of a bare class",
         {"", "", "", "Navigator", "firefox"},
         {"org.mozilla.firefox", "firefox"}},
        {"nothing at all", {}, {std::nullopt, std::nullopt}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(resolver.resolve(c.window), c.expected) << c.label;
    }
}

TEST(AppAliasesTest, ShippedTableParsesAndMeetsTheTables)
{
    const auto& table = AppAliases::shipped();
    EXPECT_GT(table.size(), 40u);
    EXPECT_EQ(table.at("google-chrome"), "com.google.chrome");

    const auto parsed = AppAliases::parse("# comment\nFoo  Org.Foo.App # trailing\n\nlonely\n");
    EXPECT_EQ(parsed, (std::map<std::string, std::string>{{"foo", "org.foo.app"}}));
}

TEST(FlatpakInfoTest, ReadsTheApplicationName)
{
    EXPECT_EQ(flatpakApplicationID("[Instance]\nname=x\n[Application]\nname=org.gimp.GIMP\n"),
              "org.gimp.GIMP");
    EXPECT_EQ(flatpakApplicationID("[Runtime]\nname=org.gnome.Platform\n"), "");
}

} // namespace
} // namespace kestrove
