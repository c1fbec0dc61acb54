#pragma once

#include "Engine/ChangeObservers.h"
#include "ViewLogic/Shell/DashboardNavigation.h"

#include <QWidget>

#include <functional>
#include <memory>

class QTimer;
class QVBoxLayout;

namespace kestrove {

class DashboardFooterView;
class SessionEngine;
class SidebarItem;

// Builds the page of one section; each page takes what it needs from the engine.
using DashboardPageFactory = std::function<QWidget*(DashboardSection)>;

// The dashboard window's content: a 196-pixel sidebar (the mark, one entry per page, the live
// footer), a one-pixel divider, and the page of the navigation's section, built anew whenever
// the section changes.
class DashboardRootView final : public QWidget
{
public:
    DashboardRootView(SessionEngine& engine, DashboardNavigation& navigation,
                      DashboardPageFactory pages, QWidget* parent = nullptr);
    ~DashboardRootView() override;

    QWidget* page() const { return m_page; }
    // Everything shown is brought up to date (the one-second redraw does this too).
    void refresh();

private:
    void showSection();
    void refreshEntries();

    SessionEngine& m_engine;
    DashboardNavigation& m_navigation;
    DashboardPageFactory m_pages;
    std::vector<SidebarItem*> m_items;
    DashboardFooterView* m_footer;
    QVBoxLayout* m_detail;
    QWidget* m_page = nullptr;
    DashboardSection m_shownSection;
    QTimer* m_timer;
    Subscription m_navigationChanges;
    Subscription m_taskChanges;
};

// What a page shows until it is built: its name and that it is not here yet.
QWidget* unbuiltPage(DashboardSection section);

} // namespace kestrove
