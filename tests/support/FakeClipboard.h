#pragma once

#include "Platform/Clipboard.h"

#include <string>

namespace kestrove {

// A clipboard in memory; another program's copy is copyElsewhere().
class FakeClipboard final : public Clipboard
{
public:
    void setImage(const std::string& png) override
    {
        image = png;
        ++changes;
    }
    std::int64_t changeCount() const override { return changes; }
    void copyElsewhere()
    {
        image.clear();
        ++changes;
    }

    std::string image;
    std::int64_t changes = 0;
};

} // namespace kestrove
