#pragma once

#include <QCoreApplication>

#include <filesystem>
#include <fstream>
#include <random>
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
class TemporaryFolder
{
public:
    TemporaryFolder()
    {
        std::random_device random;
        m_path = std::filesystem::temp_directory_path() /
                 ("kestrove-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(m_path);
    }
    ~TemporaryFolder() { std::filesystem::remove_all(m_path); }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    std::string path() const { return m_path.string(); }

    void write(const std::string& relative, const std::string& text) const
    {
        const auto file = m_path / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << text;
    }

private:
    std::filesystem::path m_path;
};

} // namespace kestrove::testing_support
