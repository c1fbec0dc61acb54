#pragma once

#include <functional>
#include <optional>
#include <string>

namespace kestrove {

// Reads the address of the page in a browser's front window. Requests are answered off the main
// thread, one at a time; the sampler never waits for one.
class BrowserScripting
{
public:
    // Called exactly once per request, on any thread: the address, or nothing when there is none
    // (no page, a private window, accessibility off, the browser did not answer in time).
    using Completion = std::function<void(std::optional<std::string> address)>;

    virtual ~BrowserScripting() = default;

    // `processID` is the front window's process when the desktop reports one.
    virtual void activeTabURL(const std::string& bundleID, std::optional<int> processID,
                              Completion done) = 0;
};

} // namespace kestrove
