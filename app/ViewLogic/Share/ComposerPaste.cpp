#include "ViewLogic/Share/ComposerPaste.h"

#include "core/Text.h"

#include <algorithm>
#include <array>

namespace kestrove {

namespace {

// The site's two domains, bare and with the "www" and "mobile" labels.
constexpr std::array<std::string_view, 6> kComposerHosts = {
    "x.com", "www.x.com", "mobile.x.com", "twitter.com", "www.twitter.com", "mobile.twitter.com"};

// Browsers by their identifiers, with the Linux builds whose active tab can be read.
constexpr std::array<std::string_view, 11> kBrowsers = {
    "com.apple.safari",       "com.google.chrome",          "com.google.chrome.canary",
    "com.google.chrome.beta", "company.thebrowser.browser", "company.thebrowser.dia",
    "com.microsoft.edgemac",  "com.brave.browser",          "com.vivaldi.vivaldi",
    "org.mozilla.firefox",    "org.chromium.chromium"};

struct Address
{
    std::string host;
    std::string path;
};

// The host and path of an absolute address; nothing when it has no scheme or no host.
std::optional<Address> parsed(std::string_view text)
{
    const auto scheme = text.find("://");
    if (scheme == std::string_view::npos || scheme == 0) {
        return std::nullopt;
    }
    std::string_view rest = text.substr(scheme + 3);
    const auto authorityEnd = rest.find_first_of("/?#");
    std::string_view authority = rest.substr(0, authorityEnd);
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
        authority = authority.substr(at + 1);
    }
    authority = authority.substr(0, authority.find(':'));
    if (authority.empty()) {
        return std::nullopt;
    }
    std::string_view path =
        authorityEnd == std::string_view::npos ? std::string_view() : rest.substr(authorityEnd);
    path = path.substr(0, path.find_first_of("?#"));
    return Address{Text::lowercased(authority), std::string(path)};
}

} // namespace

struct ComposerPaste::Run
{
    std::int64_t changeCount = 0;
    double deadline = 0; // on the monotonic clock
    std::optional<std::string> browser;
    std::unique_ptr<ScheduledTimer> pause;
    std::function<void(Outcome)> done;
};

ComposerPaste::ComposerPaste(Services services) : m_services(services) {}

ComposerPaste::~ComposerPaste() = default;

bool ComposerPaste::isKnownBrowser(const std::optional<std::string>& bundleID)
{
    if (!bundleID) {
        return false;
    }
    const std::string lowered = Text::lowercased(*bundleID);
    return std::find(kBrowsers.begin(), kBrowsers.end(), lowered) != kBrowsers.end();
}

bool ComposerPaste::isComposerAddress(const std::optional<std::string>& address)
{
    if (!address) {
        return false;
    }
    const auto parts = parsed(*address);
    if (!parts || std::find(kComposerHosts.begin(), kComposerHosts.end(), parts->host) ==
                      kComposerHosts.end()) {
        return false;
    }
    return parts->path.starts_with("/intent/") || parts->path.starts_with("/compose/");
}

void ComposerPaste::attachClipboardImage(std::int64_t changeCount,
                                         std::function<void(Outcome)> done)
{
    auto run = std::make_shared<Run>();
    run->changeCount = changeCount;
    run->deadline = m_services.clock.monotonic() + kTimeoutSeconds;
    run->done = std::move(done);
    m_runs.push_back(run);
    schedulePass(run, kPollSeconds, &ComposerPaste::firstCheck);
}

void ComposerPaste::retirePause(Run& run)
{
    // The pause may be the timer whose action is running now: it goes on a later turn.
    if (run.pause) {
        std::shared_ptr<ScheduledTimer> retired = std::move(run.pause);
        m_services.mainQueue.post([retired] {});
    }
}

void ComposerPaste::schedulePass(const std::shared_ptr<Run>& run, double delay,
                                 void (ComposerPaste::*step)(const std::shared_ptr<Run>&))
{
    retirePause(*run);
    std::weak_ptr<Run> weak = run;
    run->pause = m_services.scheduler.once(delay, [this, weak, step] {
        if (const auto alive = weak.lock()) {
            (this->*step)(alive);
        }
    });
}

bool ComposerPaste::clipboardChanged(const std::shared_ptr<Run>& run)
{
    if (m_services.clipboard.changeCount() == run->changeCount) {
        return false;
    }
    finish(run, Outcome::clipboardChanged);
    return true;
}

void ComposerPaste::firstCheck(const std::shared_ptr<Run>& run)
{
    if (clipboardChanged(run)) {
        return;
    }
    const auto front = m_services.workspace.frontmostApplication();
    if (!front || !isKnownBrowser(front->bundleID)) {
        endPass(run);
        return;
    }
    run->browser = front->bundleID;
    askComposer(run, *front, [this](const std::shared_ptr<Run>& seen) {
        schedulePass(seen, kSettleSeconds, &ComposerPaste::secondCheck);
    });
}

void ComposerPaste::secondCheck(const std::shared_ptr<Run>& run)
{
    if (clipboardChanged(run)) {
        return;
    }
    // Still the same browser in front, still on the composer: only then the keys go there.
    const auto front = m_services.workspace.frontmostApplication();
    if (!front || !isKnownBrowser(front->bundleID) || front->bundleID != run->browser) {
        endPass(run);
        return;
    }
    askComposer(run, *front, [this](const std::shared_ptr<Run>& seen) {
        if (m_services.keys.sendPaste()) {
            m_log.info("pasted the share card into the X composer");
            finish(seen, Outcome::pasted);
        } else {
            m_log.error("could not send Ctrl+V to the X composer; the card stays on the "
                        "clipboard");
            finish(seen, Outcome::keysNotSent);
        }
    });
}

void ComposerPaste::askComposer(const std::shared_ptr<Run>& run, const FrontmostApplication& front,
                                std::function<void(const std::shared_ptr<Run>&)> onComposer)
{
    std::weak_ptr<Run> weak = run;
    auto answered = m_guard.wrap<std::optional<std::string>>(
        [this, weak, onComposer](std::optional<std::string> address) {
            const auto alive = weak.lock();
            if (!alive) {
                return;
            }
            if (isComposerAddress(address)) {
                onComposer(alive);
            } else {
                endPass(alive);
            }
        });
    // The browser answers on its own thread; the run goes on on the main thread.
    MainQueue& mainQueue = m_services.mainQueue;
    const std::optional<int> processID =
        front.processID > 0 ? std::optional(front.processID) : std::nullopt;
    m_services.scripting.activeTabURL(
        *front.bundleID, processID, [&mainQueue, answered](std::optional<std::string> address) {
            mainQueue.post([answered, address = std::move(address)] { answered(address); });
        });
}

void ComposerPaste::endPass(const std::shared_ptr<Run>& run)
{
    run->browser.reset();
    if (m_services.clock.monotonic() >= run->deadline) {
        m_log.info("X composer not seen within 15 s; the card stays on the clipboard");
        finish(run, Outcome::timedOut);
        return;
    }
    schedulePass(run, kPollSeconds, &ComposerPaste::firstCheck);
}

void ComposerPaste::finish(const std::shared_ptr<Run>& run, Outcome outcome)
{
    retirePause(*run);
    std::erase(m_runs, run);
    if (run->done) {
        run->done(outcome);
    }
}

} // namespace kestrove
