#include "Gallery/ShellGallery.h"

#include "Views/Dashboard/DashboardRootView.h"
#include "Views/MenuBarView.h"
#include "Views/Shell/PopoverWindow.h"
#include "Views/Shell/StatusItem.h"
#include "Views/Theme.h"
#include "core/Calendar.h"
#include "support/EngineRig.h"

#include <QHBoxLayout>
#include <QLabel>

namespace kestrove::gallery {

namespace {

// One engine for every picture: an hour and a half in an editor, then a focus task of 25
// minutes with 10:30 on task.
EngineRig& rig()
{
    static EngineRig* instance = [] {
        auto* built = new EngineRig(Calendar::date(2026, 12, 7, 9, 0));
        built->start();
        built->show("com.microsoft.vscode", "Kestrove — ShellController.cpp");
        built->run(90 * 60);
        FocusTask task;
        task.id = "5C7E3A2B-4F1D-4B8E-9A6C-2D3E4F5A6B7C";
        task.name = "Write the tray icon";
        task.estimatedSeconds = 25 * 60;
        task.allowedBundleIDs = {"com.microsoft.vscode"};
        task.startedAt = built->clock.now();
        built->engine->startFocusTask(task);
        built->run(10 * 60 + 30);
        return built;
    }();
    return *instance;
}

std::unique_ptr<QWidget> dashboardOn(DashboardSection section)
{
    static DashboardNavigation navigation;
    navigation.setSection(section);
    auto view = std::make_unique<DashboardRootView>(*rig().engine, navigation, nullptr);
    view->setFixedSize(1120, 720);
    return view;
}

std::unique_ptr<QWidget> trayIcons()
{
    auto view = std::make_unique<QWidget>();
    auto* layout = new QHBoxLayout(view.get());
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    for (const char* title : {"0m", "59m", "1:15", "12:40", "\U0001F512 12m", "\U0001F512 0:59",
                              "Paused", "Shutdown"}) {
        for (const int size : {22, 48}) {
            auto* icon = new QLabel;
            icon->setPixmap(
                QPixmap::fromImage(StatusItem::titleImage(QString::fromUtf8(title), size, 2.0)));
            layout->addWidget(icon, 0, Qt::AlignVCenter);
        }
    }
    return view;
}

std::unique_ptr<QWidget> popover()
{
    auto view = std::make_unique<PopoverWindow>();
    view->setWindowFlags(Qt::Widget);
    view->setContent(new MenuBarView(*rig().engine, {}));
    return view;
}

} // namespace

std::vector<GalleryView> shellGalleryViews()
{
    return {
        {"tray-icons", trayIcons},
        {"popover", popover},
        {"dashboard-today", [] { return dashboardOn(DashboardSection::today); }},
        {"dashboard-week", [] { return dashboardOn(DashboardSection::week); }},
        {"dashboard-projects", [] { return dashboardOn(DashboardSection::projects); }},
        {"dashboard-lockin", [] { return dashboardOn(DashboardSection::lockIn); }},
        {"dashboard-settings", [] { return dashboardOn(DashboardSection::settings); }},
    };
}

} // namespace kestrove::gallery
