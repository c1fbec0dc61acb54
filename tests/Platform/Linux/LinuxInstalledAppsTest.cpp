#include "Platform/Linux/LinuxInstalledApps.h"
#include "Platform/Linux/AppIdentityResolver.h"
#include "Platform/Linux/DesktopEntries.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace kestrove {
namespace {

std::string application(const std::string& name, const std::string& more = "")
{
    return "[Desktop Entry]\nType=Application\nName=" + name + "\nIcon=app-icon\n" + more;
}

// A user folder and a system folder, as the data folders list them.
class LinuxInstalledAppsTest : public testing::Test
{
protected:
    std::vector<InstalledApp> scan(const std::string& locale = "")
    {
        return LinuxInstalledApps::scan({user.path, system.path}, locale, resolver);
    }
    static std::vector<std::string> ids(const std::vector<InstalledApp>& apps)
    {
        std::vector<std::string> result;
        for (const auto& app : apps) {
            result.push_back(app.bundleID);
        }
        return result;
    }

    TemporaryFolder user;
    TemporaryFolder system;
    AppIdentityResolver resolver;
};

TEST_F(LinuxInstalledAppsTest, ListsWhatMenusListOnceUnderTheTrackersIdentifier)
{
    // The user's copy of an entry hides the system's, also when the user deleted it.
    user.write("applications/org.gnome.Nautilus.desktop", application("My Files"));
    system.write("applications/org.gnome.Nautilus.desktop", application("Files"));
    user.write("applications/gimp.desktop", application("GIMP", "Hidden=true\n"));
    system.write("applications/gimp.desktop", application("GIMP"));
    // Two entries of one application meet under the alias; the first folder's wins.
    user.write("applications/firefox-esr.desktop", application("Firefox ESR"));
    system.write("applications/firefox.desktop", application("Firefox"));
    // Only applications the menus show.
    system.write("applications/helper.desktop", application("Helper", "NoDisplay=true\n"));
    system.write("applications/site.desktop",
                 "[Desktop Entry]\nType=Link\nName=Site\nURL=https://x\n");
    system.write("applications/notes.txt", application("Not an entry"));
    system.write("applications/broken.desktop", "Name=No group\n");
    // A sub-folder's entry has the folder in its id.
    system.write("applications/kde4/okular.desktop", application("Okular"));
    system.write("applications/CAPS.desktop", application("caps"));

    const auto apps = scan();
    EXPECT_EQ(ids(apps), (std::vector<std::string>{"caps", "org.mozilla.firefox",
                                                   "org.gnome.nautilus", "kde4-okular"}));
    EXPECT_EQ(apps[1].name, "Firefox ESR");
    EXPECT_EQ(apps[2].name, "My Files");
    EXPECT_EQ(apps[2].icon, "app-icon");
}

TEST_F(LinuxInstalledAppsTest, NamesFollowTheUsersLanguage)
{
    system.write("applications/files.desktop",
                 application("Files", "Name[de]=Dateien\nName[de_AT]=Dateien AT\n"
                                      "Name[de@euro]=Dateien Euro\nName[fr]=Fichiers\n"
                                      "[Desktop Action x]\nName[de_CH]=Aktion\n"));
    const struct
    {
        const char* locale;
        const char* name;
    } cases[] = {
        {"", "Files"},
        {"de_DE.UTF-8", "Dateien"},
        {"de_AT.UTF-8", "Dateien AT"},
        {"de_AT.UTF-8@euro", "Dateien AT"},
        {"de_CH.UTF-8@euro", "Dateien Euro"},
        {"de_CH", "Dateien"}, // the action's name is no name of the entry
        {"fr_FR", "Fichiers"},
        {"ja_JP.UTF-8", "Files"},
    };
    for (const auto& c : cases) {
        const auto apps = scan(c.locale);
        ASSERT_EQ(apps.size(), 1u) << c.locale;
        EXPECT_EQ(apps[0].name, c.name) << c.locale;
    }
}

TEST_F(LinuxInstalledAppsTest, SortsByNameIgnoringCaseAndKeepsTheScanOrderOfEqualNames)
{
    system.write("applications/b.desktop", application("beta"));
    system.write("applications/a.desktop", application("Alpha"));
    system.write("applications/e.desktop", application("\u00C9clair"));
    system.write("applications/z.desktop", application("Zed"));
    user.write("applications/twin1.desktop", application("Twin"));
    system.write("applications/twin2.desktop", application("twin"));

    EXPECT_EQ(ids(scan("en_US.UTF-8")),
              (std::vector<std::string>{"a", "b", "e", "twin1", "twin2", "z"}));
}

TEST_F(LinuxInstalledAppsTest, AFolderThatCannotBeReadAddsNothing)
{
    system.write("applications/a.desktop", application("Alpha"));
    const auto apps = LinuxInstalledApps::scan({user.path + "/missing", system.path}, "", resolver);
    EXPECT_EQ(ids(apps), (std::vector<std::string>{"a"}));
}

TEST(DesktopIdentifierTest, IsWhatAWindowOfTheApplicationResolvesTo)
{
    const AppIdentityResolver resolver;
    for (const char* id : {"firefox-esr", "org.gnome.Nautilus", "code", "kde4-okular"}) {
        WindowIdentity window;
        window.gtkApplicationID = id;
        EXPECT_EQ(resolver.identifierForDesktopID(id), resolver.resolve(window).bundleID) << id;
    }
    EXPECT_EQ(resolver.identifierForDesktopID("Code"), "com.microsoft.vscode");
}

} // namespace
} // namespace kestrove
