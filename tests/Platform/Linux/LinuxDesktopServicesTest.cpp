#include "Platform/Linux/LinuxDesktopServices.h"
#include "DesktopTestSupport.h"
#include "Platform/Linux/LinuxWorkspace.h"

#include <QTest>

#include <gtest/gtest.h>

#include "support/TestWindows.h"

namespace kestrove {
namespace {

using testing_support::TemporaryFolder;
using testing_support::TestWindows;

bool runs(LinuxDesktopServices& desktop, const RunningApplication& app)
{
    const auto running = desktop.runningApplications();
    return std::find(running.begin(), running.end(), app) != running.end();
}

TEST(LinuxDesktopServicesTest, RunningApplicationsAreTheClientWindowsOnce)
{
    testing_support::ensureApplication();
    TemporaryFolder data;
    data.write("applications/code.desktop",
               "[Desktop Entry]\nName=Visual Studio Code\nStartupWMClass=Code\n");
    LinuxWorkspace workspace({{}, {data.path}});
    LinuxDesktopServices desktop(workspace);
    TestWindows windows;
    const RunningApplication editor{"com.microsoft.vscode", "Visual Studio Code"};
    const RunningApplication tool{"org.example.tool", "Tool"};
    EXPECT_FALSE(runs(desktop, editor));

    windows.create({"code", "Code", "a.cpp", "", "", false});
    windows.create({"code", "Code", "b.cpp", "", "", false});
    const Window other = windows.create({"tool", "Tool", "", "", "org.example.tool", false});
    ASSERT_TRUE(QTest::qWaitFor([&] { return runs(desktop, editor) && runs(desktop, tool); }));
    const auto running = desktop.runningApplications();
    EXPECT_EQ(std::count(running.begin(), running.end(), editor), 1);

    XDestroyWindow(windows.display(), other);
    XSync(windows.display(), False);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !runs(desktop, tool); }));
}

} // namespace
} // namespace kestrove
