#pragma once

namespace kestrove {

// The small floating display of the running focus task. The engine shows it when a task
// starts and hides it when the task ends; the application shell draws it.
class LockInDisplay
{
public:
    static constexpr const char* kEnabledKey = "lockInOverlayEnabled";

    virtual ~LockInDisplay() = default;

    // The user's choice; on unless the preference holds false.
    virtual bool isEnabled() const = 0;
    virtual bool isSetUp() const = 0;
    // Builds the panel and places it; called only while not set up.
    virtual void setUp() = 0;
    virtual bool hasPanel() const = 0;
    virtual bool isPanelVisible() const = 0;
    // Keeps the panel at the right edge of the main screen, at the height the user left it.
    virtual void snapToScreenIfNeeded() = 0;
    virtual void orderFront() = 0;
    virtual void orderOut() = 0;
};

} // namespace kestrove
