#include "Gallery/GallerySupport.h"

#include <QLayout>
#include <QWidget>

namespace kestrove::gallery {

InstalledApps* scannedApps(ManualMainQueue& queue, std::vector<InstalledApp> apps)
{
    auto* built = new InstalledApps([apps = std::move(apps)] { return apps; }, queue);
    built->refresh();
    built->waitForScan();
    queue.drain();
    return built;
}

EngineRig* startedRig(Date now)
{
    auto* rig = new EngineRig(now);
    rig->start();
    return rig;
}

EngineRig* rigWithHistory(Date now, const std::function<void(Database&)>& write)
{
    auto* rig = new EngineRig(now);
    Database db(rig->path);
    db.open();
    write(db);
    return rig;
}

void startInFront(EngineRig& rig, const std::string& bundleID, const std::string& title)
{
    rig.start();
    rig.show(bundleID, title);
    rig.run(20);
    rig.engine->refreshToday();
    rig.settle();
}

int heightAtWidth(QWidget& content, int width)
{
    content.setFixedWidth(width);
    QLayout* layout = content.layout();
    return layout && layout->hasHeightForWidth() ? layout->heightForWidth(width)
                                                 : content.sizeHint().height();
}

} // namespace kestrove::gallery
