#include "Platform/Linux/LinuxHider.h"

#include "Platform/Linux/AppIdentityResolver.h"
#include "Platform/Linux/LinuxX11Connection.h"
#include "Platform/Linux/X11WindowIdentity.h"
#include "Platform/MainQueue.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace kestrove {

namespace {

using Deadline = std::chrono::steady_clock::time_point;
constexpr auto kCheckInterval = std::chrono::milliseconds(4);
constexpr long kMaxClients = 1L << 16;

Deadline after(double seconds)
{
    return std::chrono::steady_clock::now() +
           std::chrono::duration_cast<std::chrono::steady_clock::duration>(
               std::chrono::duration<double>(seconds));
}

} // namespace

struct LinuxHider::Private
{
    struct Job
    {
        Request request;
        std::shared_ptr<const AppIdentityResolver> resolver;
        Completion done;
    };

    MainQueue& mainQueue;
    Options options;
    LinuxX11Connection connection;

    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<Job> jobs;
    bool running = false;
    bool stopping = false;
    std::thread worker;

    Private(MainQueue& queue, Options o)
        : mainQueue(queue), options(std::move(o)), connection(options.displayName)
    {
        worker = std::thread([this] { loop(); });
    }

    ~Private()
    {
        {
            const std::lock_guard lock(mutex);
            stopping = true;
            jobs.clear();
        }
        wake.notify_all();
        worker.join();
    }

    void loop()
    {
        std::unique_lock lock(mutex);
        while (true) {
            wake.wait(lock, [this] { return stopping || !jobs.empty(); });
            if (stopping) {
                break;
            }
            Job job = std::move(jobs.front());
            jobs.pop_front();
            running = true;
            lock.unlock();
            const Outcome outcome = run(job);
            if (job.done) {
                mainQueue.post([done = std::move(job.done), outcome] { done(outcome); });
            }
            lock.lock();
            running = false;
            if (jobs.empty()) {
                idle.notify_all();
            }
        }
        lock.unlock();
        connection.close();
    }

    bool ensureConnection()
    {
        if (connection.isOpen() && connection.isLost()) {
            connection.close();
        }
        return connection.isOpen() || connection.open();
    }

    Atom atom(const char* name) { return XInternAtom(connection.display(), name, False); }

    std::vector<Window> windowList(const char* name)
    {
        Display* display = connection.display();
        Atom type = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long remaining = 0;
        unsigned char* data = nullptr;
        std::vector<Window> result;
        if (XGetWindowProperty(display, DefaultRootWindow(display), atom(name), 0, kMaxClients,
                               False, XA_WINDOW, &type, &format, &items, &remaining,
                               &data) == Success &&
            data && format == 32) {
            const auto* windows = reinterpret_cast<const Window*>(data);
            result.assign(windows, windows + items);
        }
        if (data) {
            XFree(data);
        }
        return result;
    }

    // Bottom to top where the window manager says so, so the last match is the topmost.
    std::vector<Window> clientWindows()
    {
        auto stacking = windowList("_NET_CLIENT_LIST_STACKING");
        return stacking.empty() ? windowList("_NET_CLIENT_LIST") : stacking;
    }

    std::vector<unsigned long> longs(Window window, Atom name, Atom type)
    {
        Atom actual = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long remaining = 0;
        unsigned char* data = nullptr;
        std::vector<unsigned long> result;
        if (XGetWindowProperty(connection.display(), window, name, 0, 64, False, type, &actual,
                               &format, &items, &remaining, &data) == Success &&
            data && format == 32) {
            const auto* values = reinterpret_cast<const unsigned long*>(data);
            result.assign(values, values + items);
        }
        if (data) {
            XFree(data);
        }
        return result;
    }

    // Iconic or withdrawn by WM_STATE, or marked hidden; a window that has gone is hidden too.
    bool isHidden(Window window)
    {
        const LinuxX11Connection::ErrorTrap trap(connection);
        const Atom wmState = atom("WM_STATE");
        const auto state = longs(window, wmState, wmState);
        const auto netState = longs(window, atom("_NET_WM_STATE"), XA_ATOM);
        if (trap.failed()) {
            return true;
        }
        if (!state.empty() && (state.front() == IconicState || state.front() == WithdrawnState)) {
            return true;
        }
        const Atom hidden = atom("_NET_WM_STATE_HIDDEN");
        for (const unsigned long value : netState) {
            if (value == hidden) {
                return true;
            }
        }
        return false;
    }

    void sendToRoot(Window window, Atom type, long first, long second, long third = 0)
    {
        Display* display = connection.display();
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = type;
        event.xclient.format = 32;
        event.xclient.data.l[0] = first;
        event.xclient.data.l[1] = second;
        event.xclient.data.l[2] = third;
        event.xclient.data.l[3] = 2; // from a pager, as the user's own choice
        XSendEvent(display, DefaultRootWindow(display), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
    }

    std::vector<Window> stillShown(const std::vector<Window>& windows)
    {
        std::vector<Window> shown;
        for (const Window window : windows) {
            if (!isHidden(window)) {
                shown.push_back(window);
            }
        }
        return shown;
    }

    std::vector<Window> waitForHidden(std::vector<Window> windows, Deadline deadline)
    {
        while (true) {
            XSync(connection.display(), False);
            windows = stillShown(windows);
            if (windows.empty() || connection.isLost() ||
                std::chrono::steady_clock::now() >= deadline) {
                return windows;
            }
            std::this_thread::sleep_for(kCheckInterval);
        }
    }

    Outcome run(const Job& job)
    {
        if (!ensureConnection()) {
            return {false, "the X display is out of reach"};
        }
        Display* display = connection.display();
        std::vector<Window> targets;
        Window exactFront = 0;
        Window topFront = 0;
        for (const Window window : clientWindows()) {
            auto reading = readWindowIdentity(connection, window);
            if (!reading || !job.resolver) {
                continue;
            }
            const FrontmostApplication app =
                applicationOf(std::move(*reading), window, *job.resolver, options.procRoot);
            // The desktop's own panels and background are never hidden nor fronted.
            if (app.windowType != WindowType::normal || !app.bundleID) {
                continue;
            }
            if (*app.bundleID == job.request.bundleID) {
                targets.push_back(window);
            } else if (job.request.refocusTo && *app.bundleID == *job.request.refocusTo) {
                topFront = window;
                if (window == job.request.refocusWindow) {
                    exactFront = window;
                }
            }
        }

        if (const Window front = exactFront ? exactFront : topFront) {
            sendToRoot(front, atom("_NET_ACTIVE_WINDOW"), 2, CurrentTime);
        }
        for (const Window window : targets) {
            const LinuxX11Connection::ErrorTrap trap(connection);
            XIconifyWindow(display, window, DefaultScreen(display));
        }
        XFlush(display);

        auto shown = waitForHidden(targets, after(options.fallbackAfter));
        if (!shown.empty() && !connection.isLost()) {
            const Atom netState = atom("_NET_WM_STATE");
            const Atom hidden = atom("_NET_WM_STATE_HIDDEN");
            for (const Window window : shown) {
                sendToRoot(window, netState, 1 /* add */, static_cast<long>(hidden));
            }
            shown = waitForHidden(std::move(shown),
                                  after(options.verifyWithin - options.fallbackAfter));
        }
        if (connection.isLost()) {
            return {false, "the X connection was lost"};
        }
        if (!shown.empty()) {
            return {false, std::to_string(shown.size()) + " of " + std::to_string(targets.size()) +
                               " windows still shown"};
        }
        return {true, {}};
    }
};

LinuxHider::LinuxHider(MainQueue& mainQueue, Options options)
    : d(std::make_unique<Private>(mainQueue, std::move(options)))
{}

LinuxHider::~LinuxHider() = default;

void LinuxHider::hide(Request request, Completion done)
{
    auto resolver = d->options.resolver ? d->options.resolver() : nullptr;
    if (!resolver) {
        resolver = std::make_shared<const AppIdentityResolver>();
    }
    {
        const std::lock_guard lock(d->mutex);
        d->jobs.push_back({std::move(request), std::move(resolver), std::move(done)});
    }
    d->wake.notify_one();
}

void LinuxHider::waitUntilIdle()
{
    std::unique_lock lock(d->mutex);
    d->idle.wait(lock, [this] { return d->jobs.empty() && !d->running; });
}

} // namespace kestrove
