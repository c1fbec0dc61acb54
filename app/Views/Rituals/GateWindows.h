#pragma once

#include "ViewLogic/Rituals/GateController.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QScreen;

namespace kestrove {

class MainQueue;
class Scheduler;

// Makes one planning form for one window.
using GateFormFactory = std::function<QWidget*(const GateForm&)>;

// The "Plan the day" window: the planning form in an ordinary window of 860 × 760.
class PlanEditorWindow final : public PlanEditorHost
{
public:
    explicit PlanEditorWindow(GateFormFactory makeForm);
    ~PlanEditorWindow() override;

    bool isOpen() const override { return m_window != nullptr; }
    void open(GateForm form, std::function<void()> onClosed) override;
    void front() override;
    void close() override;

    QWidget* window() const { return m_window; }

private:
    GateFormFactory m_makeForm;
    QPointer<QWidget> m_window;
};

// The morning wall: one frameless window above everything on every screen, each with its own
// form. The keyboard and the pointer are held by the window under the pointer, the windows
// are raised again whenever something else comes forward, and they follow the screens as
// they come and go: with no screen the wall waits for one. Holding Shift, Alt and Ctrl for
// five seconds runs the hatch. Nothing stops the switch to a text console or the window
// manager's own key bindings that it grabbed before us.
class MorningWallWindows final : public QObject, public GateWall
{
public:
    using ScreenList = std::function<QList<QScreen*>()>;

    MorningWallWindows(GateFormFactory makeForm, Scheduler& scheduler, MainQueue& mainQueue,
                       ScreenList screens = {});
    ~MorningWallWindows() override;

    bool isPresenting() const override { return m_presenting; }
    void present(std::function<GateForm()> content) override;
    void reassert() override;
    void dismiss() override;
    void setOnHatch(std::function<void()> onHatch) override
    {
        m_hatch.onHatch = std::move(onHatch);
    }

    // The wall's windows, in screen order.
    std::vector<QWidget*> windows() const;
    // The screens were added, removed or replaced: each listed screen gets a window with a form.
    void screensChanged();
    const WallHatch& hatch() const { return m_hatch; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Panel
    {
        QScreen* screen;
        QPointer<QWidget> window;
    };

    void buildWindows();
    void removeWindows();
    void holdInput(QWidget* window);
    QWidget* windowAt(const QPoint& global) const;

    GateFormFactory m_makeForm;
    ScreenList m_screens;
    bool m_presenting = false;
    std::optional<GateForm> m_form;
    std::vector<Panel> m_panels;
    QPointer<QWidget> m_holder;
    WallHatch m_hatch;
    Qt::KeyboardModifiers m_modifiers;
    QTimer m_raiseTimer;
};

} // namespace kestrove
