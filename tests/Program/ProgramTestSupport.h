#pragma once

#include <QApplication>

#include <filesystem>
#include <fstream>
#include <string>

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

} // namespace kestrove::testing_support
