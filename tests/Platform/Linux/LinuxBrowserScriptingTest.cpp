#include "Platform/Linux/LinuxBrowserScripting.h"

#include "DesktopTestSupport.h"
#include "Platform/Log.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace kestrove;
using namespace std::chrono_literals;

namespace {

constexpr auto kLongStay = 90s;

// A program started with a private HOME, its output discarded, ended with the test.
class ChildProcess
{
public:
    ChildProcess(const QString& program, const QStringList& arguments, const QString& home)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home);
        m_process.setProcessEnvironment(environment);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start(program, arguments);
        m_process.waitForStarted();
    }
    ~ChildProcess()
    {
        if (pid() > 0) {
            kill(pid(), SIGCONT);
        }
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    int pid() const { return static_cast<int>(m_process.processId()); }

private:
    QProcess m_process;
};

// Serves the test's pages on 127.0.0.1. The first page moves on to the second once the test
// says so; the private page reports that its script ran. The numbered pages follow `step`:
// each moves on to the page of the step the test set and reports which one it shows.
class PageServer
{
public:
    PageServer()
    {
        m_socket = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        bind(m_socket, reinterpret_cast<sockaddr*>(&address), length);
        listen(m_socket, 16);
        getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~PageServer()
    {
        m_stopping = true;
        m_thread.join();
        close(m_socket);
    }
    std::string url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }
    std::string stepURL(int step) const { return url("/step/" + std::to_string(step) + ".html"); }
    std::atomic<bool> navigate = false;
    std::atomic<bool> privatePageRan = false;
    std::atomic<int> step = 0;
    std::atomic<int> shownStep = -1;

private:
    void serve()
    {
        while (!m_stopping) {
            pollfd listening{m_socket, POLLIN, 0};
            if (poll(&listening, 1, 100) > 0) {
                // Browsers open connections ahead of need: each gets its own thread.
                m_connections.emplace_back(&PageServer::answer, this,
                                           accept(m_socket, nullptr, nullptr));
            }
        }
        for (std::thread& connection : m_connections) {
            connection.join();
        }
    }
    void answer(int connection)
    {
        const timeval patience{5, 0};
        setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
        char buffer[2048] = {};
        const ssize_t size = recv(connection, buffer, sizeof buffer - 1, 0);
        const std::string request(buffer, size > 0 ? size : 0);
        const std::string body = page(request.substr(0, request.find(" HTTP/")));
        const std::string response = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                                     "Cache-Control: no-store\r\nConnection: close\r\n"
                                     "Content-Length: " +
                                     std::to_string(body.size()) + "\r\n\r\n" + body;
        send(connection, response.data(), response.size(), MSG_NOSIGNAL);
        close(connection);
    }
    std::string page(const std::string& requestLine)
    {
        if (requestLine == "GET /one.html") {
            return "<title>First page</title><script>setInterval(() => fetch('/next')"
                   ".then(r => r.text()).then(t => { if (t === 'go') location = '/two.html'; })"
                   ", 100)</script>";
        }
        if (requestLine == "GET /private.html") {
            return "<title>Private page</title><script>fetch('/private-ran')</script>";
        }
        if (requestLine == "GET /next") {
            return navigate ? "go" : "wait";
        }
        if (requestLine.starts_with("GET /step/")) {
            const std::string shown = requestLine.substr(10, requestLine.find('.') - 10);
            return "<title>Step " + shown + "</title><p id=tick></p><script>fetch('/shown/" +
                   shown +
                   "'); setInterval(() => fetch('/step').then(r => r.text()).then(t => {"
                   " if (t !== '" +
                   shown +
                   "') location = '/step/' + t + '.html'; }), 200);"
                   " setInterval(() => { const p = document.createElement('p');"
                   " p.textContent = Date.now(); tick.replaceChildren(p); }, 20)</script>";
        }
        if (requestLine == "GET /step") {
            return std::to_string(step.load());
        }
        if (requestLine.starts_with("GET /shown/")) {
            shownStep = std::stoi(requestLine.substr(11));
            return {};
        }
        privatePageRan = privatePageRan || requestLine == "GET /private-ran";
        return "<title>Second page</title>";
    }

    int m_socket = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping = false;
    std::thread m_thread;
    std::vector<std::thread> m_connections;
};

// The accessibility bus inside the test's private session bus, with accessibility on from the
// start (browsers decide at start-up whether to join it). One bus for all tests of the program.
class LinuxBrowserScriptingTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        testing_support::ensureApplication();
        bus = new ChildProcess("/usr/libexec/at-spi-bus-launcher",
                               {"--launch-immediately", "--a11y=1"}, home.path());
    }
    static void TearDownTestSuite() { delete bus; }

    void SetUp() override
    {
        ASSERT_TRUE(waitFor(10s, [] {
            return QDBusConnection::sessionBus().interface()->isServiceRegistered("org.a11y.Bus");
        })) << "the accessibility bus did not start";
        // The worker logs on its own thread.
        Log::setSink([this](Log::Level level, const std::string&, const std::string&) {
            errors += level == Log::Level::error ? 1 : 0;
        });
    }
    void TearDown() override { Log::setSink({}); }

    static bool waitFor(std::chrono::seconds limit, const std::function<bool()>& condition)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(100ms);
        }
        return true;
    }

    // Waits for the answer in a running Qt event loop, as the program's main thread does: a
    // reader whose connections that loop also serves has its replies taken from under it.
    std::optional<std::string> ask(const std::string& bundleID, std::optional<int> processID)
    {
        QEventLoop loop;
        std::optional<std::optional<std::string>> answer;
        QTimer::singleShot(10s, &loop, &QEventLoop::quit);
        scripting.activeTabURL(bundleID, processID, [&](std::optional<std::string> address) {
            QMetaObject::invokeMethod(&loop, [&, address = std::move(address)] {
                answer = address;
                loop.quit();
            });
        });
        loop.exec();
        if (!answer) {
            ADD_FAILURE() << "a request never ended";
            // The late completion must find a loop to post to.
            while (!answer) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
            }
        }
        return *answer;
    }

    // Asks until the browser reports `expected`, skipping the back-off of failed attempts
    // while the browser starts.
    bool eventuallyReports(const std::string& bundleID, std::optional<int> processID,
                           const std::string& expected)
    {
        return waitFor(60s, [&] {
            clock.advance(LinuxBrowserScripting::kRetryInterval);
            return ask(bundleID, processID) == expected;
        });
    }

    QString url(const char* path) const { return QString::fromStdString(server.url(path)); }

    // A page kept in front for a long stay: read every 2 s, as the tracker does, and moved to the
    // next page after each read. Every read must answer with the page then shown.
    void readThroughALongStay(const std::string& bundleID, std::optional<int> processID)
    {
        ASSERT_TRUE(waitFor(30s, [&] { return server.shownStep == 0; }));
        ASSERT_TRUE(eventuallyReports(bundleID, processID, server.stepURL(0)));
        errors = 0;
        const auto started = std::chrono::steady_clock::now();
        int reads = 0;
        int answered = 0;
        std::vector<std::string> wrong;
        for (auto next = started; next - started < kLongStay; next += 2s) {
            std::this_thread::sleep_until(next);
            const std::optional<std::string> address = ask(bundleID, processID);
            const std::string expected = server.stepURL(server.step);
            ++reads;
            answered += address ? 1 : 0;
            if (address != expected) {
                wrong.push_back("read " + std::to_string(reads) + ": " +
                                address.value_or("(nothing)") + " instead of " + expected);
            }
            server.step = server.step + 1;
            ASSERT_TRUE(waitFor(10s, [&] { return server.shownStep == server.step; }))
                << "the browser did not move on to page " << server.step;
        }
        EXPECT_GE(reads, 30);
        EXPECT_EQ(answered, reads);
        EXPECT_TRUE(wrong.empty()) << testing::PrintToString(wrong);
        EXPECT_EQ(errors, 0);
    }

    // The browser opens a private window: once the page's script ran, it is up and in front.
    void openPrivateWindow(const QString& program, const QStringList& arguments)
    {
        const ChildProcess opener(program, arguments, home.path());
        ASSERT_TRUE(waitFor(30s, [&] { return server.privatePageRan.load(); }));
        errors = 0;
    }

    inline static QTemporaryDir home;
    inline static ChildProcess* bus = nullptr;
    FakeClock clock;
    LinuxBrowserScripting scripting{clock};
    PageServer server;
    std::atomic<int> errors = 0;
};

TEST_F(LinuxBrowserScriptingTest, ChromiumAddressNavigationStopAndPrivateWindow)
{
    const QString chromium = QStandardPaths::findExecutable("chromium");
    if (chromium.isEmpty()) {
        GTEST_SKIP() << "chromium is not installed; scripts/install-deps installs it";
    }
    const std::string bundleID = "org.chromium.chromium";
    QStringList options{"--user-data-dir=" + home.filePath("chromium"), "--no-first-run",
                        "--no-default-browser-check", "--disable-gpu", "--password-store=basic"};
    if (geteuid() == 0) {
        options << "--no-sandbox";
    }
    ChildProcess browser(chromium, options + QStringList{url("/one.html")}, home.path());
    const int pid = browser.pid();

    EXPECT_TRUE(eventuallyReports(bundleID, pid, server.url("/one.html")));
    server.navigate = true;
    EXPECT_TRUE(eventuallyReports(bundleID, pid, server.url("/two.html")));

    // A stopped browser costs the worker at most the time-out, then is left alone.
    errors = 0;
    kill(pid, SIGSTOP);
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(ask(bundleID, pid), std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    kill(pid, SIGCONT);
    started = std::chrono::steady_clock::now();
    EXPECT_EQ(ask(bundleID, pid), std::nullopt) << "still backing off";
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
    EXPECT_EQ(errors, 1);
    EXPECT_TRUE(eventuallyReports(bundleID, pid, server.url("/two.html")));

    // This start opens an incognito window in the running browser and exits.
    openPrivateWindow(chromium, options + QStringList{"--incognito", url("/private.html")});
    EXPECT_EQ(ask(bundleID, pid), std::nullopt);
    EXPECT_EQ(errors, 0) << "a private window is no failure";
}

TEST_F(LinuxBrowserScriptingTest, ABrowserStartedAfterAFailedReadIsReadWithinSeconds)
{
    const QString chromium = QStandardPaths::findExecutable("chromium");
    if (chromium.isEmpty()) {
        GTEST_SKIP() << "chromium is not installed; scripts/install-deps installs it";
    }
    // Asked before the browser runs, as when it is opened after Kestrove started.
    const std::string bundleID = "org.chromium.chromium";
    EXPECT_EQ(ask(bundleID, std::nullopt), std::nullopt);

    QStringList options{"--user-data-dir=" + home.filePath("chromium-late"), "--no-first-run",
                        "--no-default-browser-check", "--disable-gpu", "--password-store=basic"};
    if (geteuid() == 0) {
        options << "--no-sandbox";
    }
    const ChildProcess browser(chromium, options + QStringList{url("/step/0.html")}, home.path());
    ASSERT_TRUE(waitFor(30s, [&] { return server.shownStep == 0; }));
    bool read = false;
    for (TimeInterval waited = 0; !read && waited < 55; waited += 5) {
        clock.advance(5);
        read = ask(bundleID, std::nullopt) == server.stepURL(0);
        std::this_thread::sleep_for(500ms);
    }
    EXPECT_TRUE(read) << "the browser's page was not read within a minute of its start";
}

TEST_F(LinuxBrowserScriptingTest, ChromiumAddressThroughALongStay)
{
    const QString chromium = QStandardPaths::findExecutable("chromium");
    if (chromium.isEmpty()) {
        GTEST_SKIP() << "chromium is not installed; scripts/install-deps installs it";
    }
    QStringList options{"--user-data-dir=" + home.filePath("chromium-stay"), "--no-first-run",
                        "--no-default-browser-check", "--disable-gpu", "--password-store=basic"};
    if (geteuid() == 0) {
        options << "--no-sandbox";
    }
    const ChildProcess browser(chromium, options + QStringList{url("/step/0.html")}, home.path());
    // As the tracker asks: without the window's process, so the browser is found by its engine.
    readThroughALongStay("org.chromium.chromium", std::nullopt);
}

TEST_F(LinuxBrowserScriptingTest, FirefoxAddressNavigationAndPrivateWindow)
{
    const QString firefox = QStandardPaths::findExecutable("firefox-esr");
    if (firefox.isEmpty()) {
        GTEST_SKIP() << "firefox-esr is not installed; scripts/install-deps installs it";
    }
    const std::string bundleID = "org.mozilla.firefox";
    const QStringList options{"--profile", home.filePath("firefox"), "--no-remote"};
    QDir().mkpath(home.filePath("firefox"));
    ChildProcess browser(firefox, options + QStringList{url("/one.html")}, home.path());

    // Without the window's process the browser is found by its web engine.
    EXPECT_TRUE(eventuallyReports(bundleID, std::nullopt, server.url("/one.html")));
    server.navigate = true;
    EXPECT_TRUE(eventuallyReports(bundleID, browser.pid(), server.url("/two.html")));

    openPrivateWindow(firefox, options + QStringList{"--private-window", url("/private.html")});
    EXPECT_EQ(ask(bundleID, browser.pid()), std::nullopt);
    EXPECT_EQ(errors, 0) << "a private window is no failure";
}

TEST_F(LinuxBrowserScriptingTest, FirefoxAddressThroughALongStay)
{
    const QString firefox = QStandardPaths::findExecutable("firefox-esr");
    if (firefox.isEmpty()) {
        GTEST_SKIP() << "firefox-esr is not installed; scripts/install-deps installs it";
    }
    QDir().mkpath(home.filePath("firefox-stay"));
    const ChildProcess browser(
        firefox, {"--profile", home.filePath("firefox-stay"), "--no-remote", url("/step/0.html")},
        home.path());
    readThroughALongStay("org.mozilla.firefox", browser.pid());
}

} // namespace
