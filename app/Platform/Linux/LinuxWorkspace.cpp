#include "Platform/Linux/LinuxWorkspace.h"

#include "Platform/Linux/AppIdentityResolver.h"
#include "Platform/Linux/LinuxX11Connection.h"
#include "Platform/Linux/X11WindowIdentity.h"
#include "Platform/Log.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <filesystem>
#include <map>
#include <utility>

namespace kestrove {

namespace {

const Log log("tracker");

// Longest property read, in 32-bit units (1 MiB).
constexpr long kMaxPropertyLength = 1L << 18;
// A title is read up to 16 KiB: enough for the characters that are kept, in any encoding.
constexpr long kMaxTitleLength = 4 * static_cast<long>(WindowInfo::kMaxTitleCharacters);
constexpr int kRescanDelayMilliseconds = 500;
// Windows whose application and title are kept; beyond that the cache starts again.
constexpr std::size_t kMaxWatchedWindows = 256;

// An X property's raw bytes, or nothing when the window has no such property (or has gone).
struct Property
{
    Atom type = 0;
    int format = 0;
    std::string bytes;
    unsigned long items = 0;
};

std::string latin1ToUTF8(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// A title cut at the length limit may end inside a UTF-8 sequence; drop that partial character.
void dropPartialCharacter(std::string& text)
{
    std::size_t start = text.size();
    while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) {
        --start;
    }
    if (start == 0) {
        return;
    }
    const auto lead = static_cast<unsigned char>(text[start - 1]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (text.size() - (start - 1) < length) {
        text.resize(start - 1);
    }
}

} // namespace

// What was read of a window, kept until the server says a property it came from changed or the
// window was destroyed. Nothing when it has to be read again.
struct WatchedWindow
{
    std::optional<FrontmostApplication> application;
    std::optional<std::string> title;
};

// The atoms that the events are told apart by, interned in one round trip at every connection.
struct EventAtoms
{
    Atom activeWindow = 0;
    Atom supportingWMCheck = 0;
    Atom supported = 0;
    Atom netWMName = 0;
    Atom gtkApplicationID = 0;
    Atom kdeDesktopFile = 0;
    Atom netWMPid = 0;
    Atom utf8String = 0;

    bool isIdentity(Atom atom) const
    {
        return atom == XA_WM_CLASS || atom == gtkApplicationID || atom == kdeDesktopFile ||
               atom == netWMPid;
    }
    bool isTitle(Atom atom) const { return atom == XA_WM_NAME || atom == netWMName; }
};

struct LinuxWorkspace::Private
{
    Options options;
    LinuxX11Connection connection;
    // Replaced, never changed, when the entries are read again: the hider keeps a snapshot.
    std::shared_ptr<const AppIdentityResolver> resolver;
    QObject context;
    std::unique_ptr<QSocketNotifier> notifier;
    QTimer reconnectTimer;
    QFileSystemWatcher entryWatcher;
    QTimer rescanTimer;
    std::map<int, ActivationHandler> observers;
    std::map<int, AvailabilityHandler> availabilityObservers;
    int lastObserver = 0;
    Window lastReported = 0;
    std::map<std::string, Atom> atoms;
    EventAtoms eventAtoms;
    // The steady state costs no round trip: the active window, each watched window's
    // application and title, and the trust are read again only after the server announced a
    // change (a property change on the root or the window, or a destroyed window).
    std::map<Window, WatchedWindow> watched;
    std::optional<Window> activeCache;
    std::optional<bool> trustCache;
    Window wmCheckWindow = 0;
    // _NET_ACTIVE_WINDOW changes read but not yet reported.
    int pendingActivations = 0;

    explicit Private(Options o) : options(std::move(o)), connection(options.displayName)
    {
        if (options.dataFolders.empty()) {
            options.dataFolders = DesktopEntries::dataFolders();
        }
        rescanEntries();
        rescanTimer.setSingleShot(true);
        rescanTimer.setInterval(kRescanDelayMilliseconds);
        QObject::connect(&rescanTimer, &QTimer::timeout, &context, [this] { rescanEntries(); });
        QObject::connect(&entryWatcher, &QFileSystemWatcher::directoryChanged, &context,
                         [this] { rescanTimer.start(); });

        reconnectTimer.setInterval(static_cast<int>(options.reconnectInterval * 1000.0));
        QObject::connect(&reconnectTimer, &QTimer::timeout, &context, [this] { reconnect(); });
        if (!connect()) {
            log.error("cannot open the X display; retrying");
            reconnectTimer.start();
        }
    }

    ~Private()
    {
        notifier.reset();
        connection.close();
    }

    // Desktop entries: read once, again whenever an applications folder changes.
    void rescanEntries()
    {
        resolver =
            std::make_shared<const AppIdentityResolver>(DesktopEntries::scan(options.dataFolders));
        for (auto& [window, cache] : watched) {
            cache.application.reset();
        }
        if (!entryWatcher.directories().isEmpty()) {
            entryWatcher.removePaths(entryWatcher.directories());
        }
        for (const auto& folder : options.dataFolders) {
            // The data folder too, so that an applications folder made later is noticed.
            for (const auto& path : {folder, folder + "/applications"}) {
                if (std::filesystem::is_directory(path)) {
                    entryWatcher.addPath(QString::fromStdString(path));
                }
            }
        }
    }

    bool connect()
    {
        if (!connection.open()) {
            return false;
        }
        Display* display = connection.display();
        atoms.clear();
        watched.clear();
        activeCache.reset();
        trustCache.reset();
        wmCheckWindow = 0;
        pendingActivations = 0;
        internEventAtoms();
        XSelectInput(display, DefaultRootWindow(display), PropertyChangeMask);
        XFlush(display);
        notifier =
            std::make_unique<QSocketNotifier>(ConnectionNumber(display), QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, &context,
                         [this] { processEvents(); });
        lastReported = 0;
        return true;
    }

    void internEventAtoms()
    {
        const char* names[] = {
            "_NET_ACTIVE_WINDOW",  "_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED", "_NET_WM_NAME",
            "_GTK_APPLICATION_ID", "_KDE_NET_WM_DESKTOP_FILE", "_NET_WM_PID",    "UTF8_STRING"};
        constexpr int count = static_cast<int>(std::size(names));
        Atom values[count] = {};
        XInternAtoms(connection.display(), const_cast<char**>(names), count, False, values);
        for (int i = 0; i < count; ++i) {
            atoms.emplace(names[i], values[i]);
        }
        eventAtoms = {values[0], values[1], values[2], values[3],
                      values[4], values[5], values[6], values[7]};
    }

    void reconnect()
    {
        if (!connect()) {
            return;
        }
        reconnectTimer.stop();
        log.info("X display is back; watching the active window again");
        // The new active window first, so that the display's return finds it in place.
        reportActiveWindow(1);
        if (connection.isOpen()) {
            notifyAvailability(true);
        }
    }

    void notifyAvailability(bool available)
    {
        for (auto& [id, handler] : std::map(availabilityObservers)) {
            handler(available);
        }
    }

    // Called after every use of the connection: a broken one is closed and retried later.
    bool checkConnection()
    {
        if (!connection.isOpen()) {
            return false;
        }
        if (!connection.isLost()) {
            return true;
        }
        log.error("X connection lost; nothing is reported until it is back");
        notifier.reset();
        connection.close();
        reconnectTimer.start();
        notifyAvailability(false);
        return false;
    }

    Atom atom(const char* name)
    {
        auto found = atoms.find(name);
        if (found != atoms.end()) {
            return found->second;
        }
        const Atom value = XInternAtom(connection.display(), name, False);
        atoms.emplace(name, value);
        return value;
    }

    std::optional<Property> property(Window window, Atom name, Atom type,
                                     long maxLength = kMaxPropertyLength)
    {
        Property result;
        int format = 0;
        unsigned long items = 0;
        unsigned long remaining = 0;
        unsigned char* data = nullptr;
        const int status =
            XGetWindowProperty(connection.display(), window, name, 0, maxLength, False, type,
                               &result.type, &format, &items, &remaining, &data);
        if (status != Success || result.type == 0) {
            if (data) {
                XFree(data);
            }
            return std::nullopt;
        }
        const std::size_t unit = format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
        result.format = format;
        result.items = items;
        result.bytes.assign(reinterpret_cast<const char*>(data), items * unit);
        XFree(data);
        if (remaining > 0 && format == 8) {
            dropPartialCharacter(result.bytes);
        }
        return result;
    }

    std::string textProperty(Window window, Atom name)
    {
        const auto value = property(window, name, AnyPropertyType);
        return value && value->format == 8 ? value->bytes : std::string();
    }

    std::optional<unsigned long> cardinal(Window window, Atom name, Atom type)
    {
        const auto value = property(window, name, type);
        if (!value || value->format != 32 || value->items < 1) {
            return std::nullopt;
        }
        return *reinterpret_cast<const unsigned long*>(value->bytes.data());
    }

    // The client window that has the input focus, for window managers without EWMH.
    Window focusedClient()
    {
        Display* display = connection.display();
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(display, &focus, &revert);
        const Window root = DefaultRootWindow(display);
        const Atom wmState = atom("WM_STATE");
        while (focus != 0 && focus != PointerRoot && focus != root) {
            if (property(focus, wmState, AnyPropertyType)) {
                return focus;
            }
            Window parentRoot = 0;
            Window parent = 0;
            Window* children = nullptr;
            unsigned int count = 0;
            if (!XQueryTree(display, focus, &parentRoot, &parent, &children, &count)) {
                return 0;
            }
            if (children) {
                XFree(children);
            }
            focus = parent;
        }
        return 0;
    }

    // Focus changes announce nothing on the root: without _NET_ACTIVE_WINDOW it is asked each time.
    Window activeWindow()
    {
        if (activeCache) {
            return *activeCache;
        }
        Display* display = connection.display();
        const auto active =
            property(DefaultRootWindow(display), eventAtoms.activeWindow, XA_WINDOW);
        if (!active) {
            return focusedClient();
        }
        const Window window = active->format == 32 && active->items > 0
                                  ? *reinterpret_cast<const Window*>(active->bytes.data())
                                  : 0;
        activeCache = window;
        return window;
    }

    // A window to keep answers for: the server is asked to announce its property changes and its
    // destruction. The request's error, for a window that has gone, reaches the caller's trap with
    // the reply it waits for next.
    WatchedWindow& watch(Window window)
    {
        if (const auto found = watched.find(window); found != watched.end()) {
            return found->second;
        }
        if (watched.size() >= kMaxWatchedWindows) {
            watched.clear();
        }
        XSelectInput(connection.display(), window, PropertyChangeMask | StructureNotifyMask);
        return watched[window];
    }

    // The application of the window, kept until one of its identity properties changes;
    // nothing when the window has gone.
    std::optional<FrontmostApplication> application(Window window)
    {
        const LinuxX11Connection::ErrorTrap trap(connection);
        WatchedWindow& cache = watch(window);
        if (cache.application) {
            return cache.application;
        }
        auto result = resolve(window);
        if (!result || trap.failed()) {
            watched.erase(window);
            return std::nullopt;
        }
        cache.application = result;
        return result;
    }

    // The application of a window, read afresh; nothing when the window has gone.
    std::optional<FrontmostApplication> resolve(Window window)
    {
        auto reading = readWindowIdentity(connection, window);
        if (!reading) {
            return std::nullopt;
        }
        return applicationOf(std::move(*reading), window, *resolver, options.procRoot);
    }

    std::optional<FrontmostApplication> frontmost()
    {
        if (!connection.isOpen()) {
            return std::nullopt;
        }
        readEvents();
        const Window window = activeWindow();
        auto result = window != 0 ? application(window) : std::nullopt;
        if (!checkConnection()) {
            return std::nullopt;
        }
        scheduleQueuedEvents();
        return result;
    }

    // Every client window's application, as the window manager lists them.
    std::vector<FrontmostApplication> clients()
    {
        if (!connection.isOpen()) {
            return {};
        }
        readEvents();
        std::vector<FrontmostApplication> result;
        const auto list =
            property(DefaultRootWindow(connection.display()), atom("_NET_CLIENT_LIST"), XA_WINDOW);
        if (list && list->format == 32) {
            const auto* windows = reinterpret_cast<const Window*>(list->bytes.data());
            // Read without watching: the events of every window on the desktop are not wanted.
            for (unsigned long i = 0; i < list->items; ++i) {
                const auto cached = watched.find(windows[i]);
                auto app = cached != watched.end() && cached->second.application
                               ? cached->second.application
                               : resolve(windows[i]);
                if (app) {
                    result.push_back(std::move(*app));
                }
            }
        }
        if (!checkConnection()) {
            return {};
        }
        scheduleQueuedEvents();
        return result;
    }

    std::string title(Window window)
    {
        if (const auto name =
                property(window, eventAtoms.netWMName, eventAtoms.utf8String, kMaxTitleLength)) {
            return name->bytes;
        }
        const auto name = property(window, XA_WM_NAME, AnyPropertyType, kMaxTitleLength);
        if (!name || name->format != 8) {
            return {};
        }
        if (name->type == XA_STRING) {
            return latin1ToUTF8(name->bytes);
        }
        if (name->type == eventAtoms.utf8String) {
            return name->bytes;
        }
        return compoundText(*name);
    }

    std::string compoundText(const Property& name)
    {
        XTextProperty text;
        text.value = reinterpret_cast<unsigned char*>(const_cast<char*>(name.bytes.data()));
        text.encoding = name.type;
        text.format = name.format;
        text.nitems = name.bytes.size();
        char** list = nullptr;
        int count = 0;
        std::string result;
        if (Xutf8TextPropertyToTextList(connection.display(), &text, &list, &count) >= Success &&
            count > 0 && list) {
            result = list[0];
        }
        if (list) {
            XFreeStringList(list);
        }
        return result;
    }

    // The title, kept until the window announces a new one.
    WindowInfo info(Window window)
    {
        if (!connection.isOpen() || window == 0) {
            return {};
        }
        readEvents();
        WindowInfo result = cachedInfo(window);
        if (!checkConnection()) {
            return {};
        }
        scheduleQueuedEvents();
        return result;
    }

    WindowInfo cachedInfo(Window window)
    {
        if (const auto found = watched.find(window);
            found != watched.end() && found->second.title) {
            return {*found->second.title, {}};
        }
        const LinuxX11Connection::ErrorTrap trap(connection);
        WatchedWindow& cache = watch(window);
        std::string text = title(window);
        if (trap.failed()) {
            watched.erase(window);
            return {};
        }
        cache.title = text;
        return {std::move(text), {}};
    }

    // Kept until the root's window manager properties change or the manager's check window is
    // destroyed (a manager that quits leaves the root's properties behind).
    bool trusted()
    {
        if (!connection.isOpen()) {
            return false;
        }
        readEvents();
        std::optional<bool> result = trustCache;
        if (!result && connection.isOpen() && !connection.isLost()) {
            result = readTrust();
            trustCache = result;
        }
        checkConnection();
        return connection.isOpen() && result.value_or(false);
    }

    // Nothing when a request failed (the check window went away meanwhile): asked again next time.
    std::optional<bool> readTrust()
    {
        const LinuxX11Connection::ErrorTrap trap(connection);
        Display* display = connection.display();
        const Window root = DefaultRootWindow(display);
        const Atom check = eventAtoms.supportingWMCheck;
        const auto wm = cardinal(root, check, XA_WINDOW);
        if (wm && *wm != wmCheckWindow) {
            wmCheckWindow = *wm;
            XSelectInput(display, wmCheckWindow, StructureNotifyMask);
        }
        const auto self = wm ? cardinal(*wm, check, XA_WINDOW) : std::nullopt;
        bool supportsActive = false;
        if (const auto supported = property(root, eventAtoms.supported, XA_ATOM)) {
            const auto* list = reinterpret_cast<const Atom*>(supported->bytes.data());
            for (unsigned long i = 0; i < supported->items; ++i) {
                supportsActive = supportsActive || list[i] == eventAtoms.activeWindow;
            }
        }
        if (trap.failed()) {
            return std::nullopt;
        }
        return self && *self == *wm && supportsActive;
    }

    // Replies may have brought events along; the socket notifier will not announce those.
    void scheduleQueuedEvents()
    {
        if (connection.isOpen() && (XQLength(connection.display()) > 0 || pendingActivations > 0)) {
            QTimer::singleShot(0, &context, [this] { processEvents(); });
        }
    }

    void processEvents()
    {
        readEvents();
        if (!checkConnection()) {
            return;
        }
        if (pendingActivations > 0) {
            reportActiveWindow(std::exchange(pendingActivations, 0));
        }
    }

    // Takes what the server has sent, without waiting for more, and forgets what it made stale.
    // Activations are only noted here: they are reported from the event loop.
    void readEvents()
    {
        while (connection.isOpen() && !connection.isLost() && XPending(connection.display())) {
            XEvent event;
            XNextEvent(connection.display(), &event);
            forgetStale(event);
        }
    }

    void forgetStale(const XEvent& event)
    {
        if (event.type == DestroyNotify) {
            watched.erase(event.xdestroywindow.window);
            if (event.xdestroywindow.window == wmCheckWindow) {
                wmCheckWindow = 0;
                trustCache.reset();
            }
            return;
        }
        if (event.type != PropertyNotify) {
            return;
        }
        const Atom name = event.xproperty.atom;
        if (event.xproperty.window == DefaultRootWindow(connection.display())) {
            if (name == eventAtoms.activeWindow) {
                activeCache.reset();
                ++pendingActivations;
            } else if (name == eventAtoms.supportingWMCheck || name == eventAtoms.supported) {
                trustCache.reset();
            }
            return;
        }
        const auto found = watched.find(event.xproperty.window);
        if (found == watched.end()) {
            return;
        }
        if (eventAtoms.isIdentity(name)) {
            found->second.application.reset();
        } else if (eventAtoms.isTitle(name)) {
            found->second.title.reset();
        }
    }

    // The window manager first clears the property (None), then names the new window: only a
    // real window that differs from the last one reported is an activation. Several changes
    // read at once went through None, so the window now named lost the front and came back
    // (another window in between, or none): that is an activation again.
    void reportActiveWindow(int changes)
    {
        if (!connection.isOpen() || observers.empty()) {
            return;
        }
        if (changes > 1) {
            lastReported = 0;
        }
        const Window window = activeWindow();
        if (window == 0) {
            // Nothing took over from a window that was iconified or closed: when it comes
            // back, that is an activation again.
            lastReported = 0;
            checkConnection();
            return;
        }
        if (window == lastReported) {
            checkConnection();
            return;
        }
        const auto app = application(window);
        if (!checkConnection() || !app) {
            return;
        }
        lastReported = window;
        for (auto& [id, handler] : std::map(observers)) {
            handler(*app);
        }
    }
};

LinuxWorkspace::LinuxWorkspace() : LinuxWorkspace(Options{}) {}

LinuxWorkspace::LinuxWorkspace(Options options) : d(std::make_unique<Private>(std::move(options)))
{}

LinuxWorkspace::~LinuxWorkspace() = default;

std::optional<FrontmostApplication> LinuxWorkspace::frontmostApplication()
{
    return d->frontmost();
}

std::vector<FrontmostApplication> LinuxWorkspace::clientApplications()
{
    return d->clients();
}

WindowInfo LinuxWorkspace::windowInfo(const FrontmostApplication& application)
{
    return d->info(static_cast<Window>(application.window));
}

int LinuxWorkspace::addActivationObserver(ActivationHandler handler)
{
    d->observers[++d->lastObserver] = std::move(handler);
    return d->lastObserver;
}

void LinuxWorkspace::removeActivationObserver(int observer)
{
    d->observers.erase(observer);
}

bool LinuxWorkspace::isTrusted()
{
    return d->trusted();
}

std::shared_ptr<const AppIdentityResolver> LinuxWorkspace::identityResolver() const
{
    return d->resolver;
}

const std::string& LinuxWorkspace::procRoot() const
{
    return d->options.procRoot;
}

bool LinuxWorkspace::isDisplayAvailable()
{
    return d->connection.isOpen() && !d->connection.isLost();
}

int LinuxWorkspace::addAvailabilityObserver(AvailabilityHandler handler)
{
    d->availabilityObservers[++d->lastObserver] = std::move(handler);
    return d->lastObserver;
}

void LinuxWorkspace::removeAvailabilityObserver(int observer)
{
    d->availabilityObservers.erase(observer);
}

bool LinuxWorkspace::isConnected() const
{
    return d->connection.isOpen();
}

} // namespace kestrove
