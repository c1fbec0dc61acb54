#include "Platform/Linux/LinuxCommandRunner.h"
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

// The phone-Focus bridge over the real command runner: small programs on a private PATH; the
// bridge's log lines (written from its worker).
class LinuxCommandRunnerTest : public testing::Test
{
protected:
    LinuxCommandRunnerTest()
    {
        std::string pattern = (fs::temp_directory_path() / "kestrove-bridge-XXXXXX").string();
        EXPECT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        setenv("PATH", (folder.string() + ":" + m_oldPath).c_str(), 1);
        Log::setSink(
            [this](Log::Level level, const std::string& category, const std::string& line) {
                std::lock_guard lock(m_mutex);
                if (category == "focus-bridge") {
                    m_lines.push_back((level == Log::Level::debug ? "debug " : "") + line);
                }
            });
        preferences.setBool("iPhoneFocusEnabled", true);
        script("Kestrove Start", "echo start >> ran");
        script("Kestrove End", "echo end >> ran");
    }
    ~LinuxCommandRunnerTest() override
    {
        Log::setSink(nullptr);
        setenv("PATH", m_oldPath.c_str(), 1);
        fs::remove_all(folder);
    }

    void script(const std::string& name, const std::string& body)
    {
        std::ofstream(folder / name) << "#!/bin/sh\ncd '" << folder.string() << "'\n" << body;
        chmod((folder / name).c_str(), 0755);
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(folder / name);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::vector<std::string> lines()
    {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }

    fs::path folder;
    Preferences preferences;
    LinuxCommandRunner runner;

private:
    std::string m_oldPath = std::getenv("PATH");
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

TEST_F(LinuxCommandRunnerTest, OutcomesAreLogged)
{
    script("succeeds", "exit 0");
    // Far more than a pipe holds, on both streams, before it exits.
    script("noisy", "head -c 3000000 /dev/zero; head -c 3000000 /dev/zero >&2");
    script("fails", "echo 'no such shortcut' >&2; exit 3");
    script("hangs", "sleep 60 & echo $! > child; wait");
    const std::pair<const char*, std::string> cases[] = {
        {"succeeds", "[engage] ran '<private>' ok"},
        {"noisy", "[engage] ran '<private>' ok"},
        {"fails", "[engage] '<private>' exit=3 stderr=<private>"},
        {"hangs", "[engage] '<private>' timed out after 300 ms"},
        {"does-not-exist", "[engage] failed to launch command: No such file or directory"},
    };
    for (const auto& [name, line] : cases) {
        CommandFocusBridge bridge(preferences, runner, 300ms);
        preferences.setString("iPhoneFocusStartShortcut", name);
        bridge.engage();
        bridge.waitUntilIdle();
        EXPECT_EQ(lines().back(), line) << name;
    }

    // The time-out also ended what the command started: gone, or a zombie awaiting its reaper.
    const std::string stat = "/proc/" + std::to_string(std::stoi(read("child"))) + "/stat";
    for (int i = 0; i < 200; ++i) {
        std::ifstream in(stat);
        std::string pid, command, state;
        if (!(in >> pid >> command >> state) || state == "Z") {
            return;
        }
        std::this_thread::sleep_for(10ms);
    }
    FAIL() << "the command's own child still runs";
}

TEST_F(LinuxCommandRunnerTest, RunsTheDefaultNamesInOrderAndEndsOnlyWhatItStarted)
{
    CommandFocusBridge bridge(preferences, runner);
    preferences.setString("iPhoneFocusStartShortcut", ""); // empty: the default name
    bridge.disengage();                                    // nothing was started
    bridge.engage();
    bridge.disengage();
    bridge.engage();
    bridge.disengage();
    // A start command that could not be launched has nothing to end.
    preferences.setString("iPhoneFocusStartShortcut", "does-not-exist");
    bridge.engage();
    bridge.disengage();
    bridge.waitUntilIdle();
    EXPECT_EQ(read("ran"), "start\nend\nstart\nend\n");
    EXPECT_EQ(lines().back(), "[disengage] skipped — the start command did not run");
}

TEST_F(LinuxCommandRunnerTest, DisabledBridgeStartsNothing)
{
    Preferences unset;
    CommandFocusBridge bridge(unset, runner);
    bridge.engage();
    bridge.disengage();
    bridge.waitUntilIdle();
    EXPECT_EQ(read("ran"), "");
    EXPECT_EQ(lines(), (std::vector<std::string>{"debug engage skipped — bridge disabled",
                                                 "debug disengage skipped — bridge disabled"}));
}

} // namespace
} // namespace kestrove
