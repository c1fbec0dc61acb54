#pragma once

#include "Platform/BrowserScripting.h"
#include "Platform/Clock.h"

#include <memory>

namespace kestrove {

// Reads browsers' addresses over the desktop's accessibility bus (AT-SPI): the browser's
// accessible application (found by process, else by its web engine), its active frame, the
// showing web document in it and that document's address. One worker thread answers one request
// at a time; a request gets at most 3 s. A browser that could not be read is left alone for 5 s,
// twice as long after each further failure up to 60 s; with accessibility off, for 60 s.
// The calls go over the worker's own connection to the bus, each with the time the request has
// left, so a browser that does not answer costs one request and never blocks the next.
class LinuxBrowserScripting final : public BrowserScripting
{
public:
    static constexpr TimeInterval kRequestTimeout = 3.0;
    static constexpr TimeInterval kFirstRetryInterval = 5.0;
    static constexpr TimeInterval kRetryInterval = 60.0;

    // `clock` times the back-off after failures; it is read on the worker thread.
    explicit LinuxBrowserScripting(const Clock& clock);
    ~LinuxBrowserScripting() override;
    LinuxBrowserScripting(const LinuxBrowserScripting&) = delete;
    LinuxBrowserScripting& operator=(const LinuxBrowserScripting&) = delete;

    void activeTabURL(const std::string& bundleID, std::optional<int> processID,
                      Completion done) override;

private:
    class Worker;
    std::unique_ptr<Worker> m_worker;
};

} // namespace kestrove
