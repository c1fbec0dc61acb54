#pragma once

#include "Platform/BrowserScripting.h"

#include <deque>

namespace kestrove {

// Keeps every request open until the test answers it.
class FakeBrowserScripting final : public BrowserScripting
{
public:
    struct Request
    {
        std::string bundleID;
        std::optional<int> processID;
        Completion done;
    };

    void activeTabURL(const std::string& bundleID, std::optional<int> processID,
                      Completion done) override
    {
        requests.push_back({bundleID, processID, std::move(done)});
        ++requestCount;
    }

    // Answers the oldest open request.
    void answer(std::optional<std::string> address)
    {
        Request request = std::move(requests.front());
        requests.pop_front();
        request.done(std::move(address));
    }

    std::deque<Request> requests;
    int requestCount = 0;
};

} // namespace kestrove
