#pragma once

#include "Engine/ChangeObservers.h"
#include "ViewLogic/Shell/DashboardNavigation.h"
#include "Views/Dashboard/DashboardWindowController.h"
#include "Views/Shell/PopoverWindow.h"
#include "Views/Shell/StatusItem.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

namespace kestrove {

class MorningGateController;
class Preferences;
class SessionEngine;

// The tray side of the application: the status item with its live title, the popover, the
// dashboard window and its navigation, and what links and second starts ask for.
class ShellController final : public QObject
{
public:
    struct Hooks
    {
        // Builds the popover's content.
        std::function<QWidget*()> popoverContent;
        DashboardPageFactory pages;
    };

    ShellController(SessionEngine& engine, Preferences& preferences, Hooks hooks);
    ~ShellController() override;

    // The status item with its title and the popover. The title follows the engine's second
    // tick; a slower timer of its own covers the time the engine does not tick. Without a tray
    // host the dashboard opens instead (said once in the log); the icon appears when a host
    // arrives.
    void launch();
    // The status title, written to the item only when it changed.
    void updateTitle();

    // A "kestrove:" link: logged (without its query), then routed.
    void openUrl(const std::string& text);
    // The user started Kestrove again: the dashboard on its current page.
    void reopen();
    // What a second start handed over: its links, or nothing for a reopen.
    void handleArguments(const std::vector<std::string>& arguments);

    DashboardNavigation& navigation() { return m_navigation; }
    DashboardWindowController& dashboard() { return m_dashboard; }
    StatusItem& statusItem() { return m_statusItem; }
    PopoverWindow& popover() { return m_popover; }

private:
    void togglePopover();

    SessionEngine& m_engine;
    Hooks m_hooks;
    DashboardNavigation m_navigation;
    DashboardWindowController m_dashboard;
    StatusItem m_statusItem;
    PopoverWindow m_popover;
    QTimer m_titleTimer;
    Subscription m_secondTicked;
};

} // namespace kestrove
