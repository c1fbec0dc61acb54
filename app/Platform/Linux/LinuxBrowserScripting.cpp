#include "Platform/Linux/LinuxBrowserScripting.h"

#include "Platform/Log.h"
#include "core/Text.h"

#include <atspi/atspi.h>
#include <dbus/dbus.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <map>
#include <set>
#include <thread>
#include <vector>

namespace kestrove {

namespace {

using SteadyClock = std::chrono::steady_clock;

const Log& log()
{
    static const Log instance("tracker");
    return instance;
}

// Private windows say so only in their frame's name (the window title does not).
constexpr std::array<std::string_view, 2> kPrivateFrameSuffixes = {" (Incognito)",
                                                                   "Private Browsing"};
// The web engines of browsers, as their accessible applications name their toolkit.
constexpr std::array<std::string_view, 2> kBrowserEngines = {"Chromium", "Gecko"};
// Chromium builds its page tree only after a client asked for its application's attributes,
// a few tens of milliseconds later.
constexpr auto kWakeWait = std::chrono::milliseconds(500);
constexpr auto kWakePoll = std::chrono::milliseconds(20);

struct ObjectUnref
{
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T> using Object = std::unique_ptr<T, ObjectUnref>;
using Accessible = Object<AtspiAccessible>;

std::string takeText(gchar* text)
{
    std::string result = text ? text : "";
    g_free(text);
    return result;
}

// True, and the error cleared, when a call failed.
bool failed(GError*& error)
{
    if (!error) {
        return false;
    }
    g_clear_error(&error);
    return true;
}

bool isPrivateFrame(std::string_view name)
{
    for (std::string_view suffix : kPrivateFrameSuffixes) {
        if (name.ends_with(suffix)) {
            return true;
        }
    }
    return false;
}

// What is left of one request's time; every call to a browser may wait only for that.
class Budget
{
public:
    explicit Budget(TimeInterval seconds)
        : m_deadline(SteadyClock::now() + std::chrono::duration_cast<SteadyClock::duration>(
                                              std::chrono::duration<double>(seconds)))
    {}

    std::chrono::milliseconds remaining() const
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline -
                                                                     SteadyClock::now());
    }

    // Gives the next accessibility call what is left; false when nothing is.
    bool arm() const
    {
        const auto left = remaining().count();
        if (left <= 0) {
            return false;
        }
        atspi_set_timeout(static_cast<gint>(left), 0);
        return true;
    }

private:
    SteadyClock::time_point m_deadline;
};

// The worker's main context lives as long as the process: the accessibility library keeps a
// pointer to it once it was handed over.
GMainContext* workerContext()
{
    static GMainContext* context = g_main_context_new();
    return context;
}

enum class Availability
{
    on,
    off,
    noBus
};

} // namespace

class LinuxBrowserScripting::Worker
{
public:
    explicit Worker(const Clock& clock);
    ~Worker();

    void submit(std::string bundleID, std::optional<int> processID, Completion done);

private:
    struct Request
    {
        Worker* worker;
        std::string bundleID;
        std::optional<int> processID;
        Completion done;
    };
    // What is kept of a browser between requests: its accessible application.
    struct Application
    {
        Accessible accessible;
        int processID = 0;
        bool woken = false;
    };

    static gboolean serve(gpointer data);
    void run();
    std::optional<std::string> read(const Request& request);
    std::optional<std::string> fail(const std::string& key, std::string_view reason);

    Availability availability(const Budget& budget);
    void report(Availability availability);
    bool startAccessibility();
    std::optional<Application> findApplication(std::optional<int> processID, const Budget& budget);
    // Each gives nothing when the browser did not answer, and an empty value when it answered
    // that there is nothing to report.
    std::optional<std::string> readAddress(Application& application, const Budget& budget);
    std::optional<Accessible> activeFrame(AtspiAccessible* application, const Budget& budget);
    std::optional<std::string> documentAddress(AtspiAccessible* frame, const Budget& budget);

    const Clock& m_clock;
    GMainContext* m_context = workerContext();
    std::atomic<bool> m_stopping = false;
    std::thread m_thread;

    // Touched on the worker thread only.
    DBusConnection* m_session = nullptr;
    std::map<std::string, Date> m_failedAt;
    std::set<std::string> m_reportedFailures;
    std::map<std::string, Application> m_applications;
    std::optional<Availability> m_reported;
};

LinuxBrowserScripting::LinuxBrowserScripting(const Clock& clock)
    : m_worker(std::make_unique<Worker>(clock))
{}

LinuxBrowserScripting::~LinuxBrowserScripting() = default;

void LinuxBrowserScripting::activeTabURL(const std::string& bundleID, std::optional<int> processID,
                                         Completion done)
{
    m_worker->submit(bundleID, processID, std::move(done));
}

LinuxBrowserScripting::Worker::Worker(const Clock& clock) : m_clock(clock)
{
    m_thread = std::thread([this] { run(); });
}

LinuxBrowserScripting::Worker::~Worker()
{
    m_stopping = true;
    g_main_context_wakeup(m_context);
    m_thread.join();
}

void LinuxBrowserScripting::Worker::submit(std::string bundleID, std::optional<int> processID,
                                           Completion done)
{
    GSource* source = g_idle_source_new();
    g_source_set_callback(source, &Worker::serve,
                          new Request{this, std::move(bundleID), processID, std::move(done)},
                          [](gpointer data) { delete static_cast<Request*>(data); });
    g_source_attach(source, m_context);
    g_source_unref(source);
    g_main_context_wakeup(m_context);
}

gboolean LinuxBrowserScripting::Worker::serve(gpointer data)
{
    auto* request = static_cast<Request*>(data);
    Worker* worker = request->worker;
    // Requests still queued when the worker stops are answered with nothing.
    request->done(worker->m_stopping ? std::nullopt : worker->read(*request));
    return G_SOURCE_REMOVE;
}

void LinuxBrowserScripting::Worker::run()
{
    g_main_context_push_thread_default(m_context);
    while (!m_stopping) {
        g_main_context_iteration(m_context, TRUE);
    }
    while (g_main_context_iteration(m_context, FALSE)) {
    }
    m_applications.clear();
    if (m_session) {
        dbus_connection_close(m_session);
        dbus_connection_unref(m_session);
    }
    g_main_context_pop_thread_default(m_context);
}

std::optional<std::string> LinuxBrowserScripting::Worker::read(const Request& request)
{
    const std::string key = Text::lowercased(request.bundleID);
    const auto failedAt = m_failedAt.find(key);
    if (failedAt != m_failedAt.end() && m_clock.now() - failedAt->second < kRetryInterval) {
        return std::nullopt;
    }
    const Budget budget(kRequestTimeout);
    const Availability state = availability(budget);
    report(state);
    if (state != Availability::on) {
        m_failedAt[key] = m_clock.now();
        return std::nullopt;
    }
    if (!startAccessibility()) {
        return fail(key, "the accessibility library did not start");
    }

    std::optional<std::string> address;
    const auto cached = m_applications.find(key);
    if (cached != m_applications.end()) {
        if (!request.processID || cached->second.processID == *request.processID) {
            address = readAddress(cached->second, budget);
        }
        if (!address) {
            // Gone, restarted or not answering: look the browser up afresh.
            m_applications.erase(cached);
        }
    }
    if (!address) {
        std::optional<Application> application = findApplication(request.processID, budget);
        if (application) {
            address = readAddress(*application, budget);
        }
        if (!address) {
            std::string_view reason = "not found on the accessibility bus";
            if (budget.remaining().count() <= 0) {
                reason = "no answer within 3 s";
            } else if (application) {
                reason = "its page could not be read";
            }
            return fail(key, reason);
        }
        // Kept for the window's process even when the accessible one was found by its engine.
        application->processID = request.processID.value_or(application->processID);
        m_applications[key] = std::move(*application);
    }
    m_failedAt.erase(key);
    m_reportedFailures.erase(key);
    if (address->empty()) {
        return std::nullopt;
    }
    return address;
}

std::optional<std::string> LinuxBrowserScripting::Worker::fail(const std::string& key,
                                                               std::string_view reason)
{
    m_failedAt[key] = m_clock.now();
    if (m_reportedFailures.insert(key).second) {
        log().error("no browser address from " + key + ": " + std::string(reason));
    }
    return std::nullopt;
}

Availability LinuxBrowserScripting::Worker::availability(const Budget& budget)
{
    if (m_session && !dbus_connection_get_is_connected(m_session)) {
        dbus_connection_unref(m_session);
        m_session = nullptr;
    }
    if (!m_session) {
        DBusError error;
        dbus_error_init(&error);
        m_session = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
        dbus_error_free(&error);
        if (!m_session) {
            return Availability::noBus;
        }
        dbus_connection_set_exit_on_disconnect(m_session, false);
    }

    DBusMessage* message = dbus_message_new_method_call("org.a11y.Bus", "/org/a11y/bus",
                                                        "org.freedesktop.DBus.Properties", "Get");
    const char* interface = "org.a11y.Status";
    const char* property = "IsEnabled";
    dbus_message_append_args(message, DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING, &property,
                             DBUS_TYPE_INVALID);
    // Only a reader: the desktop decides whether the accessibility bus runs.
    dbus_message_set_auto_start(message, false);
    DBusError error;
    dbus_error_init(&error);
    const int timeout = std::max<int>(1, static_cast<int>(budget.remaining().count()));
    DBusMessage* reply =
        dbus_connection_send_with_reply_and_block(m_session, message, timeout, &error);
    dbus_message_unref(message);
    dbus_error_free(&error);
    if (!reply) {
        return Availability::noBus;
    }
    dbus_bool_t enabled = false;
    DBusMessageIter iterator;
    DBusMessageIter variant;
    if (dbus_message_iter_init(reply, &iterator) &&
        dbus_message_iter_get_arg_type(&iterator) == DBUS_TYPE_VARIANT) {
        dbus_message_iter_recurse(&iterator, &variant);
        if (dbus_message_iter_get_arg_type(&variant) == DBUS_TYPE_BOOLEAN) {
            dbus_message_iter_get_basic(&variant, &enabled);
        }
    }
    dbus_message_unref(reply);
    return enabled ? Availability::on : Availability::off;
}

void LinuxBrowserScripting::Worker::report(Availability availability)
{
    if (m_reported == availability) {
        return;
    }
    const bool first = !m_reported;
    m_reported = availability;
    switch (availability) {
    case Availability::on:
        if (!first) {
            log().info("browser addresses: accessibility is on again");
        }
        break;
    case Availability::off:
        log().info("browser addresses are unavailable: accessibility is off");
        break;
    case Availability::noBus:
        log().info("browser addresses are unavailable: the accessibility bus is not running");
        break;
    }
}

bool LinuxBrowserScripting::Worker::startAccessibility()
{
    // The library starts once per process and cannot be restarted after a failure.
    static const bool started = [] {
        if (atspi_init() > 1) {
            return false;
        }
        // Its connection would otherwise be served by the main thread's default context.
        atspi_set_main_context(workerContext());
        return true;
    }();
    return started;
}

std::optional<LinuxBrowserScripting::Worker::Application>
LinuxBrowserScripting::Worker::findApplication(std::optional<int> processID, const Budget& budget)
{
    Accessible desktop(atspi_get_desktop(0));
    GError* error = nullptr;
    if (!desktop || !budget.arm()) {
        return std::nullopt;
    }
    // A call that got no answer reports a negative count, not always an error.
    const int count = atspi_accessible_get_child_count(desktop.get(), &error);
    if (failed(error) || count < 0) {
        return std::nullopt;
    }
    std::vector<Application> candidates;
    for (int index = 0; index < count && budget.arm(); ++index) {
        Accessible child(atspi_accessible_get_child_at_index(desktop.get(), index, &error));
        if (failed(error) || !child) {
            continue;
        }
        const int childProcessID = atspi_accessible_get_process_id(child.get(), &error);
        if (failed(error)) {
            continue;
        }
        if (processID && childProcessID == *processID) {
            return Application{std::move(child), childProcessID};
        }
        candidates.push_back(Application{std::move(child), childProcessID});
    }
    // Without the window's process (or when it is not the accessible one), the browser in
    // front is the application of a web engine that holds the active frame.
    for (Application& candidate : candidates) {
        if (!budget.arm()) {
            return std::nullopt;
        }
        const std::string engine =
            takeText(atspi_accessible_get_toolkit_name(candidate.accessible.get(), &error));
        if (failed(error) || std::find(kBrowserEngines.begin(), kBrowserEngines.end(), engine) ==
                                 kBrowserEngines.end()) {
            continue;
        }
        std::optional<Accessible> frame = activeFrame(candidate.accessible.get(), budget);
        if (frame && *frame) {
            return std::move(candidate);
        }
    }
    return std::nullopt;
}

std::optional<std::string> LinuxBrowserScripting::Worker::readAddress(Application& application,
                                                                      const Budget& budget)
{
    const bool waking = !application.woken;
    const auto wokenAt = SteadyClock::now();
    if (waking) {
        GError* error = nullptr;
        if (!budget.arm()) {
            return std::nullopt;
        }
        GHashTable* attributes =
            atspi_accessible_get_attributes(application.accessible.get(), &error);
        if (failed(error) || !attributes) {
            return std::nullopt;
        }
        g_hash_table_unref(attributes);
        application.woken = true;
    }
    while (true) {
        std::optional<Accessible> frame = activeFrame(application.accessible.get(), budget);
        if (!frame) {
            return std::nullopt;
        }
        if (!*frame) {
            return std::string();
        }
        GError* error = nullptr;
        if (!budget.arm()) {
            return std::nullopt;
        }
        const std::string name = takeText(atspi_accessible_get_name(frame->get(), &error));
        if (failed(error)) {
            return std::nullopt;
        }
        if (isPrivateFrame(name)) {
            return std::string();
        }
        std::optional<std::string> address = documentAddress(frame->get(), budget);
        // An empty address right after the wake call only means the page tree is not built yet.
        if (!address || !address->empty() || !waking || SteadyClock::now() - wokenAt > kWakeWait ||
            budget.remaining() < kWakePoll * 2) {
            return address;
        }
        std::this_thread::sleep_for(kWakePoll);
    }
}

std::optional<Accessible> LinuxBrowserScripting::Worker::activeFrame(AtspiAccessible* application,
                                                                     const Budget& budget)
{
    GError* error = nullptr;
    if (!budget.arm()) {
        return std::nullopt;
    }
    const int count = atspi_accessible_get_child_count(application, &error);
    if (failed(error) || count < 0) {
        return std::nullopt;
    }
    for (int index = 0; index < count; ++index) {
        if (!budget.arm()) {
            return std::nullopt;
        }
        Accessible child(atspi_accessible_get_child_at_index(application, index, &error));
        if (failed(error) || !child || !budget.arm()) {
            return std::nullopt;
        }
        Object<AtspiStateSet> states(atspi_accessible_get_state_set(child.get()));
        if (!states || atspi_state_set_contains(states.get(), ATSPI_STATE_DEFUNCT)) {
            return std::nullopt;
        }
        if (atspi_state_set_contains(states.get(), ATSPI_STATE_ACTIVE)) {
            return child;
        }
    }
    return Accessible();
}

std::optional<std::string> LinuxBrowserScripting::Worker::documentAddress(AtspiAccessible* frame,
                                                                          const Budget& budget)
{
    if (!budget.arm()) {
        return std::nullopt;
    }
    Object<AtspiCollection> collection(atspi_accessible_get_collection_iface(frame));
    if (!collection) {
        return std::string();
    }
    // The showing web documents of the frame, outermost first; background tabs are not showing.
    Object<AtspiStateSet> showing(atspi_state_set_new(nullptr));
    atspi_state_set_add(showing.get(), ATSPI_STATE_SHOWING);
    GArray* roles = g_array_new(false, false, sizeof(AtspiRole));
    const AtspiRole documentRole = ATSPI_ROLE_DOCUMENT_WEB;
    g_array_append_val(roles, documentRole);
    Object<AtspiMatchRule> rule(atspi_match_rule_new(
        showing.get(), ATSPI_Collection_MATCH_ALL, nullptr, ATSPI_Collection_MATCH_NONE, roles,
        ATSPI_Collection_MATCH_ANY, nullptr, ATSPI_Collection_MATCH_NONE, false));
    g_array_unref(roles);

    GError* error = nullptr;
    if (!budget.arm()) {
        return std::nullopt;
    }
    GArray* matches = atspi_collection_get_matches(
        collection.get(), rule.get(), ATSPI_Collection_SORT_ORDER_CANONICAL, 0, true, &error);
    if (failed(error) || !matches) {
        return std::nullopt;
    }
    std::vector<Accessible> documents;
    for (guint index = 0; index < matches->len; ++index) {
        documents.emplace_back(g_array_index(matches, AtspiAccessible*, index));
    }
    g_array_free(matches, true);

    for (const Accessible& document : documents) {
        Object<AtspiDocument> documentInterface(
            atspi_accessible_get_document_iface(document.get()));
        if (!documentInterface || !budget.arm()) {
            continue;
        }
        GHashTable* attributes =
            atspi_document_get_document_attributes(documentInterface.get(), &error);
        if (failed(error) || !attributes) {
            return std::nullopt;
        }
        // Gecko names the address "DocURL", Chromium "URI".
        std::string address;
        for (const char* key : {"DocURL", "URI"}) {
            if (const auto* value =
                    static_cast<const char*>(g_hash_table_lookup(attributes, key))) {
                address = value;
                break;
            }
        }
        g_hash_table_unref(attributes);
        if (!address.empty()) {
            return address;
        }
    }
    return std::string();
}

} // namespace kestrove
