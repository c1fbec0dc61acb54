#include "Platform/Linux/LinuxBrowserScripting.h"

#include "Platform/Log.h"
#include "core/Text.h"

#include <dbus/dbus.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
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
// Chromium marks its active frame only once a client asked for its application's own bus
// address, and builds its page tree only after a client asked for the application's
// attributes, a few tens of milliseconds later.
constexpr auto kWakeWait = std::chrono::milliseconds(500);
constexpr auto kWakePoll = std::chrono::milliseconds(20);

// The accessibility protocol's names for what is read here.
constexpr const char* kRegistry = "org.a11y.atspi.Registry";
constexpr const char* kRootPath = "/org/a11y/atspi/accessible/root";
constexpr const char* kNullPath = "/org/a11y/atspi/null";
constexpr const char* kAccessible = "org.a11y.atspi.Accessible";
constexpr const char* kApplication = "org.a11y.atspi.Application";
constexpr const char* kCollection = "org.a11y.atspi.Collection";
constexpr const char* kDocument = "org.a11y.atspi.Document";
// Bits of a state set, the web document's role, and the Collection interface's constants.
constexpr int kStateActive = 1;
constexpr int kStateDefunct = 6;
constexpr int kStateShowing = 25;
constexpr int kRoleDocumentWeb = 95;
constexpr dbus_int32_t kMatchAll = 1;
constexpr dbus_int32_t kMatchAny = 2;
constexpr dbus_int32_t kMatchNone = 3;
constexpr dbus_uint32_t kSortCanonical = 1;

struct MessageUnref
{
    void operator()(DBusMessage* message) const { dbus_message_unref(message); }
};
using Message = std::unique_ptr<DBusMessage, MessageUnref>;

// An object on the accessibility bus: the connection that serves it and its path. Empty for
// the protocol's null object.
struct ObjectRef
{
    std::string busName;
    std::string path;
    bool empty() const { return busName.empty(); }
};

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

    // The time-out of the next call in milliseconds; 0 when nothing is left.
    int callTimeout() const
    {
        return static_cast<int>(std::clamp<std::int64_t>(remaining().count(), 0, INT_MAX));
    }

private:
    SteadyClock::time_point m_deadline;
};

Message methodCall(const ObjectRef& object, const char* interface, const char* method)
{
    return Message(dbus_message_new_method_call(object.busName.c_str(), object.path.c_str(),
                                                interface, method));
}

// Whether an error reply means the object does not offer what was asked, rather than that it
// did not answer.
bool isRefusal(const DBusError& error)
{
    for (const char* name : {DBUS_ERROR_UNKNOWN_METHOD, DBUS_ERROR_UNKNOWN_INTERFACE,
                             DBUS_ERROR_UNKNOWN_OBJECT, DBUS_ERROR_NOT_SUPPORTED}) {
        if (dbus_error_has_name(&error, name)) {
            return true;
        }
    }
    return false;
}

// A private connection to one bus, used by the worker thread only. Each call waits at most
// for what the request has left; a call given up leaves the connection usable, and its late
// reply is discarded with the other unread messages.
class Connection
{
public:
    Connection() = default;
    ~Connection() { reset(); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void reset(DBusConnection* connection = nullptr)
    {
        if (m_connection) {
            dbus_connection_close(m_connection);
            dbus_connection_unref(m_connection);
        }
        m_connection = connection;
        if (m_connection) {
            dbus_connection_set_exit_on_disconnect(m_connection, false);
        }
    }

    bool connected() const
    {
        return m_connection && dbus_connection_get_is_connected(m_connection);
    }

    // The reply, or nothing when the call failed or got no answer in time; `refused` tells an
    // object that does not offer the method from one that did not answer.
    Message call(const Message& message, const Budget& budget, bool* refused = nullptr) const
    {
        if (refused) {
            *refused = false;
        }
        const int timeout = budget.callTimeout();
        if (!message || !connected() || timeout <= 0) {
            return nullptr;
        }
        DBusError error;
        dbus_error_init(&error);
        Message reply(dbus_connection_send_with_reply_and_block(m_connection, message.get(),
                                                                timeout, &error));
        if (refused && dbus_error_is_set(&error)) {
            *refused = isRefusal(error);
        }
        dbus_error_free(&error);
        return reply;
    }

    void discardUnread() const
    {
        if (!m_connection) {
            return;
        }
        while (dbus_connection_dispatch(m_connection) == DBUS_DISPATCH_DATA_REMAINS) {
        }
    }

private:
    DBusConnection* m_connection = nullptr;
};

// Readers of reply arguments; a reply of another shape reads as nothing.
std::optional<std::string> readVariantString(DBusMessage* reply)
{
    DBusMessageIter iterator;
    DBusMessageIter variant;
    if (!dbus_message_iter_init(reply, &iterator) ||
        dbus_message_iter_get_arg_type(&iterator) != DBUS_TYPE_VARIANT) {
        return std::nullopt;
    }
    dbus_message_iter_recurse(&iterator, &variant);
    if (dbus_message_iter_get_arg_type(&variant) != DBUS_TYPE_STRING) {
        return std::nullopt;
    }
    const char* value = nullptr;
    dbus_message_iter_get_basic(&variant, &value);
    return std::string(value ? value : "");
}

std::vector<ObjectRef> readObjects(DBusMessage* reply)
{
    std::vector<ObjectRef> objects;
    DBusMessageIter iterator;
    DBusMessageIter array;
    if (!dbus_message_iter_init(reply, &iterator) ||
        dbus_message_iter_get_arg_type(&iterator) != DBUS_TYPE_ARRAY) {
        return objects;
    }
    for (dbus_message_iter_recurse(&iterator, &array);
         dbus_message_iter_get_arg_type(&array) == DBUS_TYPE_STRUCT;
         dbus_message_iter_next(&array)) {
        DBusMessageIter fields;
        dbus_message_iter_recurse(&array, &fields);
        const char* name = nullptr;
        const char* path = nullptr;
        if (dbus_message_iter_get_arg_type(&fields) == DBUS_TYPE_STRING) {
            dbus_message_iter_get_basic(&fields, &name);
            dbus_message_iter_next(&fields);
        }
        if (dbus_message_iter_get_arg_type(&fields) == DBUS_TYPE_OBJECT_PATH) {
            dbus_message_iter_get_basic(&fields, &path);
        }
        if (name && *name && path && std::string_view(path) != kNullPath) {
            objects.push_back(ObjectRef{name, path});
        }
    }
    return objects;
}

std::map<std::string, std::string> readStringMap(DBusMessage* reply)
{
    std::map<std::string, std::string> entries;
    DBusMessageIter iterator;
    DBusMessageIter array;
    if (!dbus_message_iter_init(reply, &iterator) ||
        dbus_message_iter_get_arg_type(&iterator) != DBUS_TYPE_ARRAY) {
        return entries;
    }
    for (dbus_message_iter_recurse(&iterator, &array);
         dbus_message_iter_get_arg_type(&array) == DBUS_TYPE_DICT_ENTRY;
         dbus_message_iter_next(&array)) {
        DBusMessageIter entry;
        dbus_message_iter_recurse(&array, &entry);
        const char* key = nullptr;
        const char* value = nullptr;
        if (dbus_message_iter_get_arg_type(&entry) != DBUS_TYPE_STRING) {
            continue;
        }
        dbus_message_iter_get_basic(&entry, &key);
        dbus_message_iter_next(&entry);
        if (dbus_message_iter_get_arg_type(&entry) != DBUS_TYPE_STRING) {
            continue;
        }
        dbus_message_iter_get_basic(&entry, &value);
        entries[key] = value;
    }
    return entries;
}

// A state set travels as two 32-bit words, the low one first.
std::uint64_t readStates(DBusMessage* reply)
{
    std::uint64_t states = 0;
    DBusMessageIter iterator;
    DBusMessageIter array;
    if (!dbus_message_iter_init(reply, &iterator) ||
        dbus_message_iter_get_arg_type(&iterator) != DBUS_TYPE_ARRAY) {
        return states;
    }
    dbus_message_iter_recurse(&iterator, &array);
    for (int word = 0; word < 2 && dbus_message_iter_get_arg_type(&array) == DBUS_TYPE_UINT32;
         ++word, dbus_message_iter_next(&array)) {
        dbus_uint32_t bits = 0;
        dbus_message_iter_get_basic(&array, &bits);
        states |= std::uint64_t(bits) << (32 * word);
    }
    return states;
}

bool hasState(std::uint64_t states, int state)
{
    return (states >> state) & 1;
}

// The Collection rule "showing web documents": states all of, no attributes, roles any of,
// no interfaces, not inverted.
void appendShowingDocumentsRule(DBusMessage* message)
{
    DBusMessageIter arguments;
    DBusMessageIter rule;
    DBusMessageIter array;
    dbus_message_iter_init_append(message, &arguments);
    dbus_message_iter_open_container(&arguments, DBUS_TYPE_STRUCT, nullptr, &rule);

    const auto appendWords = [&](const std::vector<dbus_int32_t>& words, dbus_int32_t match) {
        dbus_message_iter_open_container(&rule, DBUS_TYPE_ARRAY, DBUS_TYPE_INT32_AS_STRING, &array);
        for (dbus_int32_t word : words) {
            dbus_message_iter_append_basic(&array, DBUS_TYPE_INT32, &word);
        }
        dbus_message_iter_close_container(&rule, &array);
        dbus_message_iter_append_basic(&rule, DBUS_TYPE_INT32, &match);
    };
    const auto bit = [](int index) { return static_cast<dbus_int32_t>(1u << (index % 32)); };
    std::vector<dbus_int32_t> states(2, 0);
    states[kStateShowing / 32] = bit(kStateShowing);
    appendWords(states, kMatchAll);

    dbus_message_iter_open_container(&rule, DBUS_TYPE_ARRAY, "{ss}", &array);
    dbus_message_iter_close_container(&rule, &array);
    dbus_message_iter_append_basic(&rule, DBUS_TYPE_INT32, &kMatchNone);

    std::vector<dbus_int32_t> roles(4, 0);
    roles[kRoleDocumentWeb / 32] = bit(kRoleDocumentWeb);
    appendWords(roles, kMatchAny);

    dbus_message_iter_open_container(&rule, DBUS_TYPE_ARRAY, DBUS_TYPE_STRING_AS_STRING, &array);
    dbus_message_iter_close_container(&rule, &array);
    dbus_message_iter_append_basic(&rule, DBUS_TYPE_INT32, &kMatchNone);
    const dbus_bool_t invert = false;
    dbus_message_iter_append_basic(&rule, DBUS_TYPE_BOOLEAN, &invert);
    dbus_message_iter_close_container(&arguments, &rule);

    // Outermost first, every match, searching below frames that do not match themselves.
    const dbus_int32_t count = 0;
    const dbus_bool_t traverse = true;
    dbus_message_append_args(message, DBUS_TYPE_UINT32, &kSortCanonical, DBUS_TYPE_INT32, &count,
                             DBUS_TYPE_BOOLEAN, &traverse, DBUS_TYPE_INVALID);
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
        std::string bundleID;
        std::optional<int> processID;
        Completion done;
    };
    // What is kept of a browser between requests: its accessible application.
    struct Application
    {
        ObjectRef root;
        int processID = 0;
        std::optional<SteadyClock::time_point> wokenAt;
    };

    void run();
    std::optional<std::string> read(const Request& request);
    std::optional<std::string> fail(const std::string& key, std::string_view reason);

    Availability availability(const Budget& budget);
    void report(Availability availability);
    bool connectAccessibility(const Budget& budget);
    Message call(const ObjectRef& object, const char* interface, const char* method,
                 const Budget& budget);
    std::optional<std::string> property(const ObjectRef& object, const char* interface,
                                        const char* name, const Budget& budget);
    std::optional<Application> findApplication(std::optional<int> processID, const Budget& budget);
    // Asks the browser, once per application, to expose its active frame and page tree.
    bool wake(Application& application, const Budget& budget);
    static bool justWoken(const Application& application);
    // Each gives nothing when the browser did not answer, and an empty value when it answered
    // that there is nothing to report.
    std::optional<std::string> readAddress(Application& application, const Budget& budget);
    std::optional<ObjectRef> activeFrame(const ObjectRef& application, const Budget& budget);
    std::optional<std::string> documentAddress(const ObjectRef& frame, const Budget& budget);

    const Clock& m_clock;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Request> m_requests; // guarded by m_mutex
    bool m_stopping = false;        // guarded by m_mutex
    std::thread m_thread;

    // Touched on the worker thread only.
    Connection m_session;
    Connection m_accessibility;
    // When each failing browser is next worth asking, and how long it waited last.
    struct BackOff
    {
        Date failedAt;
        TimeInterval wait = 0;
    };
    std::map<std::string, BackOff> m_failures;
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
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void LinuxBrowserScripting::Worker::submit(std::string bundleID, std::optional<int> processID,
                                           Completion done)
{
    {
        const std::lock_guard lock(m_mutex);
        m_requests.push_back(Request{std::move(bundleID), processID, std::move(done)});
    }
    m_wake.notify_one();
}

void LinuxBrowserScripting::Worker::run()
{
    std::unique_lock lock(m_mutex);
    while (true) {
        m_wake.wait(lock, [this] { return m_stopping || !m_requests.empty(); });
        if (m_requests.empty()) {
            break;
        }
        Request request = std::move(m_requests.front());
        m_requests.pop_front();
        const bool stopping = m_stopping;
        lock.unlock();
        // Requests still queued when the worker stops are answered with nothing.
        request.done(stopping ? std::nullopt : read(request));
        m_session.discardUnread();
        m_accessibility.discardUnread();
        lock.lock();
    }
}

std::optional<std::string> LinuxBrowserScripting::Worker::read(const Request& request)
{
    const std::string key = Text::lowercased(request.bundleID);
    const auto failure = m_failures.find(key);
    if (failure != m_failures.end() &&
        m_clock.now() - failure->second.failedAt < failure->second.wait) {
        return std::nullopt;
    }
    const Budget budget(kRequestTimeout);
    const Availability state = availability(budget);
    report(state);
    if (state != Availability::on) {
        m_failures[key] = BackOff{m_clock.now(), kRetryInterval};
        return std::nullopt;
    }
    if (!connectAccessibility(budget)) {
        return fail(key, "the accessibility bus could not be reached");
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
    m_failures.erase(key);
    m_reportedFailures.erase(key);
    if (address->empty()) {
        return std::nullopt;
    }
    return address;
}

std::optional<std::string> LinuxBrowserScripting::Worker::fail(const std::string& key,
                                                               std::string_view reason)
{
    // A browser just started is not on the bus yet: ask again soon, then less and less often,
    // so one that never answers costs a look-up a minute.
    const auto previous = m_failures.find(key);
    const TimeInterval wait = previous == m_failures.end()
                                  ? kFirstRetryInterval
                                  : std::min(2 * previous->second.wait, kRetryInterval);
    m_failures[key] = BackOff{m_clock.now(), wait};
    if (m_reportedFailures.insert(key).second) {
        log().error("no browser address from " + key + ": " + std::string(reason));
    }
    return std::nullopt;
}

Availability LinuxBrowserScripting::Worker::availability(const Budget& budget)
{
    if (!m_session.connected()) {
        DBusError error;
        dbus_error_init(&error);
        m_session.reset(dbus_bus_get_private(DBUS_BUS_SESSION, &error));
        dbus_error_free(&error);
        if (!m_session.connected()) {
            return Availability::noBus;
        }
    }

    Message message(dbus_message_new_method_call("org.a11y.Bus", "/org/a11y/bus",
                                                 "org.freedesktop.DBus.Properties", "Get"));
    const char* interface = "org.a11y.Status";
    const char* property = "IsEnabled";
    dbus_message_append_args(message.get(), DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING,
                             &property, DBUS_TYPE_INVALID);
    // Only a reader: the desktop decides whether the accessibility bus runs.
    dbus_message_set_auto_start(message.get(), false);
    const Message reply = m_session.call(message, budget);
    if (!reply) {
        return Availability::noBus;
    }
    dbus_bool_t enabled = false;
    DBusMessageIter iterator;
    DBusMessageIter variant;
    if (dbus_message_iter_init(reply.get(), &iterator) &&
        dbus_message_iter_get_arg_type(&iterator) == DBUS_TYPE_VARIANT) {
        dbus_message_iter_recurse(&iterator, &variant);
        if (dbus_message_iter_get_arg_type(&variant) == DBUS_TYPE_BOOLEAN) {
            dbus_message_iter_get_basic(&variant, &enabled);
        }
    }
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

bool LinuxBrowserScripting::Worker::connectAccessibility(const Budget& budget)
{
    if (m_accessibility.connected()) {
        return true;
    }
    // Objects of a bus that went away mean nothing on the next one.
    m_applications.clear();
    m_accessibility.reset();
    Message message(dbus_message_new_method_call("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                                                 "GetAddress"));
    dbus_message_set_auto_start(message.get(), false);
    const Message reply = m_session.call(message, budget);
    const char* address = nullptr;
    if (!reply || !dbus_message_get_args(reply.get(), nullptr, DBUS_TYPE_STRING, &address,
                                         DBUS_TYPE_INVALID)) {
        return false;
    }
    DBusError error;
    dbus_error_init(&error);
    m_accessibility.reset(dbus_connection_open_private(address, &error));
    dbus_error_free(&error);
    // Registered by hand: the library's own registration waits without a time-out.
    Message hello(dbus_message_new_method_call(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS,
                                               DBUS_INTERFACE_DBUS, "Hello"));
    const Message welcome = m_accessibility.call(hello, budget);
    const char* uniqueName = nullptr;
    if (!welcome || !dbus_message_get_args(welcome.get(), nullptr, DBUS_TYPE_STRING, &uniqueName,
                                           DBUS_TYPE_INVALID)) {
        m_accessibility.reset();
        return false;
    }
    return true;
}

Message LinuxBrowserScripting::Worker::call(const ObjectRef& object, const char* interface,
                                            const char* method, const Budget& budget)
{
    return m_accessibility.call(methodCall(object, interface, method), budget);
}

std::optional<std::string> LinuxBrowserScripting::Worker::property(const ObjectRef& object,
                                                                   const char* interface,
                                                                   const char* name,
                                                                   const Budget& budget)
{
    const Message message = methodCall(object, DBUS_INTERFACE_PROPERTIES, "Get");
    dbus_message_append_args(message.get(), DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING, &name,
                             DBUS_TYPE_INVALID);
    const Message reply = m_accessibility.call(message, budget);
    return reply ? readVariantString(reply.get()) : std::nullopt;
}

std::optional<LinuxBrowserScripting::Worker::Application>
LinuxBrowserScripting::Worker::findApplication(std::optional<int> processID, const Budget& budget)
{
    const Message children =
        call(ObjectRef{kRegistry, kRootPath}, kAccessible, "GetChildren", budget);
    if (!children) {
        return std::nullopt;
    }
    std::vector<Application> candidates;
    for (ObjectRef& child : readObjects(children.get())) {
        // The bus knows each application's process; asking it costs the application nothing.
        Message message(dbus_message_new_method_call(
            DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, "GetConnectionUnixProcessID"));
        const char* busName = child.busName.c_str();
        dbus_message_append_args(message.get(), DBUS_TYPE_STRING, &busName, DBUS_TYPE_INVALID);
        const Message reply = m_accessibility.call(message, budget);
        dbus_uint32_t childProcessID = 0;
        if (!reply || !dbus_message_get_args(reply.get(), nullptr, DBUS_TYPE_UINT32,
                                             &childProcessID, DBUS_TYPE_INVALID)) {
            continue;
        }
        if (processID && static_cast<int>(childProcessID) == *processID) {
            return Application{std::move(child), *processID, std::nullopt};
        }
        candidates.push_back(
            Application{std::move(child), static_cast<int>(childProcessID), std::nullopt});
    }
    // Without the window's process (or when it is not the accessible one), the browser in
    // front is the application of a web engine that holds the active frame.
    for (Application& candidate : candidates) {
        const std::optional<std::string> engine =
            property(candidate.root, kApplication, "ToolkitName", budget);
        if (budget.callTimeout() <= 0) {
            return std::nullopt;
        }
        if (!engine ||
            std::find(kBrowserEngines.begin(), kBrowserEngines.end(), *engine) ==
                kBrowserEngines.end() ||
            !wake(candidate, budget)) {
            continue;
        }
        const std::optional<ObjectRef> frame = activeFrame(candidate.root, budget);
        if (frame && !frame->empty()) {
            return std::move(candidate);
        }
    }
    return std::nullopt;
}

bool LinuxBrowserScripting::Worker::wake(Application& application, const Budget& budget)
{
    if (application.wokenAt) {
        return true;
    }
    // The address itself is not used: the calls stay on the bus, where each has a time-out.
    if (!call(application.root, kApplication, "GetApplicationBusAddress", budget) ||
        !call(application.root, kAccessible, "GetAttributes", budget)) {
        return false;
    }
    application.wokenAt = SteadyClock::now();
    return true;
}

bool LinuxBrowserScripting::Worker::justWoken(const Application& application)
{
    return application.wokenAt && SteadyClock::now() - *application.wokenAt <= kWakeWait;
}

std::optional<std::string> LinuxBrowserScripting::Worker::readAddress(Application& application,
                                                                      const Budget& budget)
{
    if (!wake(application, budget)) {
        return std::nullopt;
    }
    while (true) {
        const std::optional<ObjectRef> frame = activeFrame(application.root, budget);
        if (!frame) {
            return std::nullopt;
        }
        std::optional<std::string> address = std::string();
        if (!frame->empty()) {
            const std::optional<std::string> name = property(*frame, kAccessible, "Name", budget);
            if (!name) {
                return std::nullopt;
            }
            if (isPrivateFrame(*name)) {
                return std::string();
            }
            address = documentAddress(*frame, budget);
        }
        // Right after the wake, no active frame or an empty address only means that the browser
        // has not caught up yet.
        if (!address || !address->empty() || !justWoken(application) ||
            budget.remaining() < kWakePoll * 2) {
            return address;
        }
        std::this_thread::sleep_for(kWakePoll);
    }
}

// The frame with the active state; the null object when none has it.
std::optional<ObjectRef> LinuxBrowserScripting::Worker::activeFrame(const ObjectRef& application,
                                                                    const Budget& budget)
{
    const Message children = call(application, kAccessible, "GetChildren", budget);
    if (!children) {
        return std::nullopt;
    }
    for (ObjectRef& child : readObjects(children.get())) {
        const Message states = call(child, kAccessible, "GetState", budget);
        if (!states) {
            return std::nullopt;
        }
        const std::uint64_t bits = readStates(states.get());
        if (hasState(bits, kStateDefunct)) {
            return std::nullopt;
        }
        if (hasState(bits, kStateActive)) {
            return std::move(child);
        }
    }
    return ObjectRef();
}

std::optional<std::string> LinuxBrowserScripting::Worker::documentAddress(const ObjectRef& frame,
                                                                          const Budget& budget)
{
    // The showing web documents of the frame, outermost first; background tabs are not showing.
    const Message query = methodCall(frame, kCollection, "GetMatches");
    appendShowingDocumentsRule(query.get());
    bool refused = false;
    const Message matches = m_accessibility.call(query, budget, &refused);
    if (!matches) {
        // A frame that cannot be searched holds no page to report.
        return refused ? std::optional<std::string>(std::string()) : std::nullopt;
    }
    for (const ObjectRef& document : readObjects(matches.get())) {
        const Message attributesQuery = methodCall(document, kDocument, "GetAttributes");
        const Message attributes = m_accessibility.call(attributesQuery, budget, &refused);
        if (!attributes) {
            if (refused) {
                continue;
            }
            return std::nullopt;
        }
        const std::map<std::string, std::string> entries = readStringMap(attributes.get());
        // Gecko names the address "DocURL", Chromium "URI".
        for (const char* key : {"DocURL", "URI"}) {
            const auto entry = entries.find(key);
            if (entry != entries.end() && !entry->second.empty()) {
                return entry->second;
            }
        }
    }
    return std::string();
}

} // namespace kestrove
