#pragma once

#include "ViewLogic/Lockdown/LockdownOverlay.h"
#include "Views/Lockdown/OverlayParts.h"
#include "Views/Lockdown/TimeUpView.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <map>
#include <optional>
#include <variant>
#include <vector>

class QScreen;

namespace kestrove {

// The overlay's windows: one frameless window per screen, kept above every other window
// (full-screen ones included) by bypassing the window manager, with the keyboard grabbed so
// that neither the window manager's shortcuts nor the application behind get a key.
// Windows come and go with the screens while the overlay is up.
class LockdownOverlayWindows final : public OverlayScreens
{
public:
    explicit LockdownOverlayWindows(TimeUpView::StatsSource stats);
    ~LockdownOverlayWindows() override;
    LockdownOverlayWindows(const LockdownOverlayWindows&) = delete;
    LockdownOverlayWindows& operator=(const LockdownOverlayWindows&) = delete;

    int screenCount() const override;
    void showWall(const WallContent& content, WallActions actions) override;
    void showTimeUp(const std::string& taskName, TimeUpActions actions) override;
    void takeDown() override;

    // The windows on screen now, in screen order.
    std::vector<QWidget*> windows() const;

private:
    struct Wall
    {
        WallContent content;
        WallActions actions;
    };
    struct TimeUp
    {
        std::string taskName;
        TimeUpActions actions;
    };
    struct Panel
    {
        QScreen* screen;
        QPointer<QWidget> window;
    };

    void present(bool replacing);
    void addPanel(QScreen* screen, int index);
    void screensChanged();
    void grabFirst();

    TimeUpView::StatsSource m_stats;
    std::variant<std::monostate, Wall, TimeUp> m_shown;
    std::vector<Panel> m_panels;
    // Each screen's picture, taken before the first window of a presentation covered it.
    std::map<QScreen*, FrostedBackdrop> m_backdrops;
    QObject m_context;
    // Windows raised later (a full-screen one among them) are put back under the overlay.
    QTimer m_raiseTimer;
};

} // namespace kestrove
