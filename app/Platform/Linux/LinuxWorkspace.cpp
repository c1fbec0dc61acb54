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

namespace kestrove {

namespace {

const Log log("tracker");

// Longest property read, in 32-bit units (1 MiB): a title longer than that is cut.
constexpr long kMaxPropertyLength = 1L << 18;
constexpr int kRescanDelayMilliseconds = 500;

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
    int lastObserver = 0;
    Window lastReported = 0;
    std::map<std::string, Atom> atoms;

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
        XSelectInput(display, DefaultRootWindow(display), PropertyChangeMask);
        XFlush(display);
        notifier =
            std::make_unique<QSocketNotifier>(ConnectionNumber(display), QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, &context,
                         [this] { processEvents(); });
        lastReported = 0;
        return true;
    }

    void reconnect()
    {
        if (!connect()) {
            return;
        }
        reconnectTimer.stop();
        log.info("X display is back; watching the active window again");
        reportActiveWindow(1);
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

    std::optional<Property> property(Window window, Atom name, Atom type)
    {
        Property result;
        int format = 0;
        unsigned long items = 0;
        unsigned long remaining = 0;
        unsigned char* data = nullptr;
        const int status =
            XGetWindowProperty(connection.display(), window, name, 0, kMaxPropertyLength, False,
                               type, &result.type, &format, &items, &remaining, &data);
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

    std::string textProperty(Window window, const char* name)
    {
        const auto value = property(window, atom(name), AnyPropertyType);
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

    Window activeWindow()
    {
        Display* display = connection.display();
        const auto active =
            property(DefaultRootWindow(display), atom("_NET_ACTIVE_WINDOW"), XA_WINDOW);
        if (active && active->format == 32 && active->items > 0) {
            return *reinterpret_cast<const Window*>(active->bytes.data());
        }
        return active ? 0 : focusedClient();
    }

    // The application of a window; nothing when the window has gone.
    std::optional<FrontmostApplication> application(Window window)
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
        std::vector<FrontmostApplication> result;
        const auto list =
            property(DefaultRootWindow(connection.display()), atom("_NET_CLIENT_LIST"), XA_WINDOW);
        if (list && list->format == 32) {
            const auto* windows = reinterpret_cast<const Window*>(list->bytes.data());
            for (unsigned long i = 0; i < list->items; ++i) {
                if (auto app = application(windows[i])) {
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
        if (const auto name = property(window, atom("_NET_WM_NAME"), atom("UTF8_STRING"))) {
            return name->bytes;
        }
        const auto name = property(window, XA_WM_NAME, AnyPropertyType);
        if (!name || name->format != 8) {
            return {};
        }
        if (name->type == XA_STRING) {
            return latin1ToUTF8(name->bytes);
        }
        if (name->type == atom("UTF8_STRING")) {
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

    WindowInfo info(Window window)
    {
        if (!connection.isOpen() || window == 0) {
            return {};
        }
        const LinuxX11Connection::ErrorTrap trap(connection);
        WindowInfo result{title(window), {}};
        if (trap.failed()) {
            result = {};
        }
        checkConnection();
        scheduleQueuedEvents();
        return result;
    }

    bool trusted()
    {
        if (!connection.isOpen()) {
            return false;
        }
        const LinuxX11Connection::ErrorTrap trap(connection);
        const Window root = DefaultRootWindow(connection.display());
        const Atom check = atom("_NET_SUPPORTING_WM_CHECK");
        const auto wm = cardinal(root, check, XA_WINDOW);
        const auto self = wm ? cardinal(*wm, check, XA_WINDOW) : std::nullopt;
        bool supportsActive = false;
        if (const auto supported = property(root, atom("_NET_SUPPORTED"), XA_ATOM)) {
            const auto* list = reinterpret_cast<const Atom*>(supported->bytes.data());
            const Atom active = atom("_NET_ACTIVE_WINDOW");
            for (unsigned long i = 0; i < supported->items; ++i) {
                supportsActive = supportsActive || list[i] == active;
            }
        }
        const bool result = !trap.failed() && self && *self == *wm && supportsActive;
        checkConnection();
        return result && connection.isOpen();
    }

    // Replies may have brought events along; the socket notifier will not announce those.
    void scheduleQueuedEvents()
    {
        if (connection.isOpen() && XQLength(connection.display()) > 0) {
            QTimer::singleShot(0, &context, [this] { processEvents(); });
        }
    }

    void processEvents()
    {
        int changes = 0;
        while (connection.isOpen() && !connection.isLost() && XPending(connection.display())) {
            XEvent event;
            XNextEvent(connection.display(), &event);
            changes +=
                (event.type == PropertyNotify && event.xproperty.atom == atom("_NET_ACTIVE_WINDOW"))
                    ? 1
                    : 0;
        }
        if (!checkConnection()) {
            return;
        }
        if (changes > 0) {
            reportActiveWindow(changes);
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

bool LinuxWorkspace::isConnected() const
{
    return d->connection.isOpen();
}

} // namespace kestrove
