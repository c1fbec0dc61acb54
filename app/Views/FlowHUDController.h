#pragma once

#include "Engine/LockInDisplay.h"
#include "Views/FlowHUDView.h"

#include <QPointer>

#include <functional>

class QWidget;

namespace kestrove {

class Preferences;
class SessionEngine;

// The one owner of the floating lock-in display: a frameless window that never takes the
// focus, above other windows on every desktop, flush with the right edge of the main screen.
// Built on the first show and kept; showing and hiding only map and unmap it.
class FlowHUDController final : public LockInDisplay
{
public:
    // The pill's top on the desktop, in pixels from the top, where the user last left it.
    static constexpr const char* kTopKey = "hudY";

    struct Hooks
    {
        // Asks the window manager to keep the window on every desktop; called after each
        // show, since the manager may forget it while the window is unmapped.
        std::function<void(QWidget&)> onEveryDesktop;
    };

    explicit FlowHUDController(Preferences& preferences, Hooks hooks = {});
    ~FlowHUDController() override;
    FlowHUDController(const FlowHUDController&) = delete;
    FlowHUDController& operator=(const FlowHUDController&) = delete;

    // The second phase: the engine the pill reads, once it exists.
    void attach(SessionEngine& engine);

    bool isEnabled() const override;
    bool isSetUp() const override { return m_isSetUp; }
    void setUp() override;
    bool hasPanel() const override { return m_panel != nullptr; }
    bool isPanelVisible() const override;
    void snapToScreenIfNeeded() override;
    void orderFront() override;
    void orderOut() override;

    FlowHUDView* panel() const { return m_panel; }

private:
    Preferences& m_preferences;
    Hooks m_hooks;
    SessionEngine* m_engine = nullptr;
    bool m_isSetUp = false;
    QPointer<FlowHUDView> m_panel;
};

} // namespace kestrove
