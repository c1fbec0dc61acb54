#pragma once

#include "Views/Dashboard/DashboardRootView.h"

#include <QPointer>

#include <optional>

namespace kestrove {

class Preferences;

// The one dashboard window: built when first shown, fronted when shown again, forgotten when
// closed. Its geometry is kept in the preferences and restored, on the screen it was on.
class DashboardWindowController
{
public:
    static constexpr const char* kGeometryKey = "KestroveDashboard";

    DashboardWindowController(SessionEngine& engine, DashboardNavigation& navigation,
                              Preferences& preferences, DashboardPageFactory pages = {});
    ~DashboardWindowController();
    DashboardWindowController(const DashboardWindowController&) = delete;
    DashboardWindowController& operator=(const DashboardWindowController&) = delete;

    // Switches to `section` when given, then fronts the window, or builds and shows it. A
    // minimised window is shown again, never replaced.
    void show(std::optional<DashboardSection> section = std::nullopt);

    // The open window, or null.
    QWidget* window() const { return m_window; }
    bool isVisible() const;

private:
    void build();

    SessionEngine& m_engine;
    DashboardNavigation& m_navigation;
    Preferences& m_preferences;
    DashboardPageFactory m_pages;
    QPointer<QWidget> m_window;
};

} // namespace kestrove
