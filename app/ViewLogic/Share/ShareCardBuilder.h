#pragma once

#include "Platform/LifetimeGuard.h"
#include "Platform/Preferences.h"
#include "ViewLogic/Share/ShareCard.h"

#include <functional>
#include <optional>
#include <string>

namespace kestrove {

class SessionEngine;

// Reads a share card of the live record: the reads go to the database's thread behind every
// write the tracker sent before, today's open segment is counted from memory up to now and its
// row left out, so it counts once. Main thread only.
class ShareCardBuilder
{
public:
    using Done = std::function<void(ShareCard)>;

    explicit ShareCardBuilder(SessionEngine& engine);

    // `done` receives the card on the main thread, unless this builder is gone by then.
    void build(const SharePeriod& period, const std::optional<std::string>& handle, Done done);

    // What a card is made of besides the database, as the engine holds it now.
    static ShareCardInputs inputs(SessionEngine& engine, const SharePeriod& period,
                                  const std::optional<std::string>& handle);

private:
    SessionEngine& m_engine;
    LifetimeGuard m_guard;
};

} // namespace kestrove
