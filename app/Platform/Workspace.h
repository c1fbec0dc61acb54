#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kestrove {

// What a window is to the desktop: an ordinary application window, or a part of the desktop
// itself (a panel or dock, the desktop background).
enum class WindowType
{
    normal,
    dock,
    desktop
};

// The application that owns the active window, as the desktop reports it.
struct FrontmostApplication
{
    std::optional<std::string> bundleID;      // absent when nothing identifies it
    std::optional<std::string> localizedName; // absent when it has no name
    int processID = 0;                        // 0 when the window sets none
    std::uint64_t window = 0;                 // the desktop's handle of the active window
    WindowType windowType = WindowType::normal;

    bool operator==(const FrontmostApplication&) const = default;
};

// The focused window of the frontmost application.
struct WindowInfo
{
    // Longer titles are cut to this many characters before they are stored: far beyond any real
    // title (a title bar across a 4K screen shows about 500), yet the head where names and
    // projects are read stays. A workspace need not read more of a title than that.
    static constexpr std::size_t kMaxTitleCharacters = 1024;

    std::string title;
    std::string documentPath;

    bool operator==(const WindowInfo&) const = default;
};

// The desktop's workspace: which application is in front, what its window shows, and whether
// Kestrove may read window titles at all. Everything runs on the main thread.
class Workspace
{
public:
    using ActivationHandler = std::function<void(const FrontmostApplication&)>;
    using AvailabilityHandler = std::function<void(bool available)>;

    virtual ~Workspace() = default;

    // Nothing when no window is active, the active window has just vanished or the display is
    // out of reach.
    virtual std::optional<FrontmostApplication> frontmostApplication() = 0;
    // Empty texts for a window that has gone or shows nothing.
    virtual WindowInfo windowInfo(const FrontmostApplication& application) = 0;
    // Calls the handler for every activation of another window until the observer is removed.
    // Several parts of the program watch activations, each with its own observer.
    virtual int addActivationObserver(ActivationHandler handler) = 0;
    virtual void removeActivationObserver(int observer) = 0;
    // Whether window titles can be read: the display is reachable and its window manager
    // announces the active window.
    virtual bool isTrusted() = 0;
    // Whether the display can be asked at all. While it cannot (its server went away), what
    // the workspace last reported is no longer what the user does; asking costs nothing.
    virtual bool isDisplayAvailable() = 0;
    // Calls the handler at the moment the display is lost and again once it is back.
    virtual int addAvailabilityObserver(AvailabilityHandler handler) = 0;
    virtual void removeAvailabilityObserver(int observer) = 0;
};

} // namespace kestrove
