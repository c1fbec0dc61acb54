#pragma once

#include <QCoreApplication>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <string>

namespace kestrove::testing_support {

// The Qt event loop that the platform services report through; one per test program.
inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "kestrove_platform_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        new QCoreApplication(argc, argv);
    }
}

// A temporary folder, removed with everything in it.
struct TemporaryFolder
{
    QTemporaryDir folder;

    std::string path() const { return folder.path().toStdString(); }
    void write(const std::string& relative, const std::string& text) const
    {
        const auto file = std::filesystem::path(path()) / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << text;
    }
};

} // namespace kestrove::testing_support
