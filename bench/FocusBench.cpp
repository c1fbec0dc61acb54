// The application picker's scan of the installed applications: a data folder of 500 desktop
// entries (in sub-folders too, some hidden from menus, some localized), read and sorted.
#include "Platform/InstalledApps.h"
#include "Platform/Linux/AppIdentityResolver.h"
#include "Platform/Linux/LinuxInstalledApps.h"
#include "support/ManualMainQueue.h"
#include "support/TemporaryFolder.h"

#include <benchmark/benchmark.h>

using namespace kestrove;

namespace {

constexpr int kEntries = 500;

// What a desktop's entries look like: a name, its translations, actions and a few lines more.
const TemporaryFolder& dataFolder()
{
    static const TemporaryFolder* folder = [] {
        auto* made = new TemporaryFolder;
        for (int i = 0; i < kEntries; ++i) {
            const std::string n = std::to_string(i);
            std::string text = "[Desktop Entry]\nType=Application\nName=Application " + n +
                               "\nGenericName=Tool\nComment=Does thing number " + n +
                               "\nExec=/usr/bin/app" + n + " %U\nIcon=app" + n +
                               "\nTerminal=false\nCategories=Utility;Development;\n";
            for (const char* language : {"de", "fr", "es", "it", "ja", "pt_BR", "zh_CN"}) {
                text += std::string("Name[") + language + "]=Anwendung " + n + "\n";
            }
            if (i % 10 == 0) {
                text += "NoDisplay=true\n";
            }
            text += "\n[Desktop Action new-window]\nName=New Window\nExec=/usr/bin/app" + n +
                    " --new-window\n";
            const std::string folderName = i % 5 == 0 ? "applications/vendor/" : "applications/";
            made->write(folderName + "org.example.App" + n + ".desktop", text);
        }
        return made;
    }();
    return *folder;
}

void scanFiveHundredEntries(benchmark::State& state)
{
    const std::vector<std::string> folders{dataFolder().path};
    const AppIdentityResolver resolver;
    std::size_t found = 0;
    for (auto _ : state) {
        const auto apps = LinuxInstalledApps::scan(folders, "de_DE.UTF-8", resolver);
        found = apps.size();
        benchmark::DoNotOptimize(apps.data());
    }
    state.counters["apps"] = static_cast<double>(found);
}
BENCHMARK(scanFiveHundredEntries)->Unit(benchmark::kMillisecond);

// The same scan as the picker runs it: on the worker thread, the list back on the main thread.
void refreshFiveHundredEntries(benchmark::State& state)
{
    const std::vector<std::string> folders{dataFolder().path};
    ManualMainQueue queue;
    InstalledApps apps(
        [folders] {
            const AppIdentityResolver resolver;
            return LinuxInstalledApps::scan(folders, "de_DE.UTF-8", resolver);
        },
        queue);
    for (auto _ : state) {
        apps.refresh();
        apps.waitForScan();
        queue.drain();
    }
    state.counters["apps"] = static_cast<double>(apps.apps().size());
}
BENCHMARK(refreshFiveHundredEntries)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
