#include "Engine/FocusBridge.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sys/stat.h>

#include "Platform/Log.h"
#include "Platform/Preferences.h"

namespace kestrove {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Small programs on a private PATH, and the bridge's log lines.
class FocusBridgeTest : public testing::Test
{
protected:
    FocusBridgeTest()
    {
        std::string pattern = (fs::temp_directory_path() / "kestrove-bridge-XXXXXX").string();
        EXPECT_NE(mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
        m_oldPath = std::getenv("PATH");
        setenv("PATH", (m_folder.string() + ":" + m_oldPath).c_str(), 1);
        Log::setSink(
            [this](Log::Level level, const std::string& category, const std::string& line) {
                if (category == "focus-bridge") {
                    std::lock_guard lock(m_linesMutex);
                    m_lines.push_back((level == Log::Level::debug ? "debug " : "") + line);
                }
            });
        preferences.setBool("iPhoneFocusEnabled", true);
        script("Kestrove Start", "echo start >> '" + ranFile() + "'");
        script("Kestrove End", "echo end >> '" + ranFile() + "'");
    }
    ~FocusBridgeTest() override
    {
        Log::setSink(nullptr);
        setenv("PATH", m_oldPath.c_str(), 1);
        fs::remove_all(m_folder);
    }

    void script(const std::string& name, const std::string& body)
    {
        const fs::path file = m_folder / name;
        std::ofstream(file) << "#!/bin/sh\n" << body << "\n";
        chmod(file.c_str(), 0755);
    }
    std::string ranFile() const { return (m_folder / "ran").string(); }
    std::string ran() const
    {
        std::ifstream in(ranFile());
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::vector<std::string> lines()
    {
        std::lock_guard lock(m_linesMutex);
        return m_lines;
    }
    std::string folder() const { return m_folder.string(); }

    Preferences preferences;

private:
    fs::path m_folder;
    std::string m_oldPath;
    std::mutex m_linesMutex;
    std::vector<std::string> m_lines;
};

TEST_F(FocusBridgeTest, OutcomesAreLogged)
{
    script("succeeds", "exit 0");
    // Far more than a pipe holds, on both streams, before it exits.
    script("noisy", "head -c 3000000 /dev/zero; head -c 3000000 /dev/zero >&2; exit 0");
    script("fails", "echo 'no such shortcut' >&2; exit 3");
    script("hangs", "sleep 60");
    const struct
    {
        const char* name;
        std::string line;
    } cases[] = {
        {"succeeds", "[engage] ran '<private>' ok"},
        {"noisy", "[engage] ran '<private>' ok"},
        {"fails", "[engage] '<private>' exit=3 stderr=<private>"},
        {"hangs", "[engage] '<private>' timed out after 300 ms"},
        {"does-not-exist", "[engage] failed to launch command: No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CommandFocusBridge bridge(preferences, 300ms);
        preferences.setString("iPhoneFocusStartShortcut", c.name);
        bridge.engage();
        bridge.waitUntilIdle();
        EXPECT_EQ(lines().back(), c.line);
    }
}

TEST_F(FocusBridgeTest, TimeOutEndsEverythingTheCommandStarted)
{
    const std::string pidFile = folder() + "/child";
    script("hangs", "sleep 60 & echo $! > '" + pidFile + "'; wait");
    preferences.setString("iPhoneFocusStartShortcut", "hangs");
    CommandFocusBridge bridge(preferences, 300ms);
    bridge.engage();
    bridge.waitUntilIdle();

    std::ifstream in(pidFile);
    std::string child;
    ASSERT_TRUE(std::getline(in, child));
    // Killed means gone or a zombie waiting for its reaper.
    for (int i = 0; i < 200; ++i) {
        std::ifstream stat("/proc/" + child + "/stat");
        std::string pid, command, state;
        if (!(stat >> pid >> command >> state) || state == "Z") {
            return;
        }
        std::this_thread::sleep_for(10ms);
    }
    FAIL() << "the command's own child still runs";
}

TEST_F(FocusBridgeTest, RunsTheDefaultNamesInOrderAndEndsOnlyWhatItStarted)
{
    CommandFocusBridge bridge(preferences, 5s);
    preferences.setString("iPhoneFocusStartShortcut", ""); // empty: the default name
    bridge.disengage();                                    // nothing was started
    bridge.engage();
    bridge.disengage();
    bridge.engage();
    bridge.disengage();
    bridge.waitUntilIdle();
    EXPECT_EQ(ran(), "start\nend\nstart\nend\n");

    // A start command that could not be launched has nothing to end.
    preferences.setString("iPhoneFocusStartShortcut", "does-not-exist");
    bridge.engage();
    bridge.disengage();
    bridge.waitUntilIdle();
    EXPECT_EQ(ran(), "start\nend\nstart\nend\n");
    EXPECT_EQ(lines().back(), "[disengage] skipped — the start command did not run");
}

TEST_F(FocusBridgeTest, DisabledBridgeStartsNothing)
{
    for (const bool stored : {false, true}) {
        Preferences prefs;
        if (stored) {
            prefs.setBool("iPhoneFocusEnabled", false);
        }
        CommandFocusBridge bridge(prefs);
        bridge.engage();
        bridge.disengage();
        bridge.waitUntilIdle();
    }
    EXPECT_EQ(ran(), "");
    const std::vector<std::string> expected = {
        "debug engage skipped — bridge disabled", "debug disengage skipped — bridge disabled",
        "debug engage skipped — bridge disabled", "debug disengage skipped — bridge disabled"};
    EXPECT_EQ(lines(), expected);
}

} // namespace
} // namespace kestrove
