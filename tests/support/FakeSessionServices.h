#pragma once

#include "Collectors/AppTracker.h"
#include "Collectors/BrowserTracker.h"
#include "Collectors/SystemIdle.h"
#include "Engine/Tracker.h"
#include "Intents/FocusStateMonitor.h"
#include "support/FakeBrowserScripting.h"
#include "support/FakeClock.h"
#include "support/FakeDesktopServices.h"
#include "support/FakeFocusBridge.h"
#include "support/FakeFocusStateSignal.h"
#include "support/FakeIdleTimeSource.h"
#include "support/FakeLockInDisplay.h"
#include "support/FakeLockdown.h"
#include "support/FakeMorningGate.h"
#include "support/FakeNotificationPresenter.h"
#include "support/FakeScheduler.h"
#include "support/FakeSystemEvents.h"
#include "support/FakeWorkspace.h"
#include "support/ManualMainQueue.h"

namespace kestrove {

// Every platform service and neighbour that the tracker and the session engine use, stood in
// for, around a real tracker. Rigs derive from it and add the database and the preferences.
struct FakeSessionServices
{
    explicit FakeSessionServices(Date now) : clock(now) { input.seconds = 0; }

    FakeClock clock;
    FakeScheduler scheduler{clock};
    ManualMainQueue mainQueue;
    FakeWorkspace workspace;
    FakeBrowserScripting scripting;
    FakeIdleTimeSource input;
    FakeIdleTimeSource fallback;
    FakeSystemEvents events;
    AppTracker appTracker{workspace, scheduler};
    BrowserTracker browser{scripting, clock, mainQueue};
    SystemIdle idle{input, fallback};
    Tracker tracker{{appTracker, browser, idle, events, workspace}, clock};
    FakeLockdownEnforcer lockdown;
    FakeLockdownOverlay overlay;
    FakeLockInDisplay display;
    FakeMorningGate gate;
    FakeNotificationPresenter notifications{clock};
    FakeFocusBridge bridge;
    FakeFocusStateSignal signal;
    FocusStateMonitor monitor{signal, clock};
    FakeDesktopServices desktop;
};

} // namespace kestrove
