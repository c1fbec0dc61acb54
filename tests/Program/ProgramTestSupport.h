#pragma once

#include <QApplication>
#include <QProcessEnvironment>
#include <QString>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace kestrove::testing_support {

// The one QApplication of the program tests that run Kestrove in their own process.
inline QApplication& programApplication()
{
    static int argc = 1;
    static char name[] = "kestrove_program_tests";
    static char* argv[] = {name, nullptr};
    // Another test of this program may have made it already.
    static QApplication* app = qApp ? qApp : new QApplication(argc, argv);
    return *app;
}

// Settings of a user who went through onboarding before, in the configuration folder
// `configHome`: no welcome window takes the front.
inline void writeReturningUser(const std::string& configHome)
{
    std::filesystem::create_directories(configHome + "/Kestrove");
    std::ofstream(configHome + "/Kestrove/preferences.json")
        << R"({"onboardingComplete": {"bool": true}})";
}

// Folders of the program's own below `root` in `environment`: a home that exists (a bus
// started for the program keeps its address there), data and configuration folders, and a
// private runtime folder with nothing of the desktop's, such as a bus socket, in it.
inline void useOwnFolders(QProcessEnvironment& environment, const std::string& root)
{
    std::filesystem::create_directories(root + "/home");
    environment.insert("HOME", QString::fromStdString(root + "/home"));
    environment.insert("XDG_DATA_HOME", QString::fromStdString(root + "/data"));
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(root + "/config"));
    const std::string runtime = root + "/runtime";
    std::filesystem::create_directories(runtime);
    ::chmod(runtime.c_str(), 0700);
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime));
}

} // namespace kestrove::testing_support
