#pragma once

// What the gallery's pages share to set up the engines and applications they show.
#include "Platform/InstalledApps.h"
#include "Storage/Database.h"
#include "core/Date.h"
#include "support/EngineRig.h"

class QWidget;

#include <functional>
#include <string>
#include <vector>

namespace kestrove::gallery {

// The installed applications `apps`, scanned and handed over through `queue` before it returns.
InstalledApps* scannedApps(ManualMainQueue& queue, std::vector<InstalledApp> apps);

// An engine started at `now` on an empty history, for first-day pictures.
EngineRig* startedRig(Date now);

// An engine at `now` on a history that `write` puts into its database, not yet started.
EngineRig* rigWithHistory(Date now, const std::function<void(Database&)>& write);

// Starts the engine with `title` in front in `bundleID`, runs twenty seconds and settles the
// day's read, so that a page shows the open stretch too.
void startInFront(EngineRig& rig, const std::string& bundleID, const std::string& title);

// Fixes `content` at `width` and answers the height its layout then needs: a page drawn whole,
// not the part a window's scroll area shows.
int heightAtWidth(QWidget& content, int width);

} // namespace kestrove::gallery
