#pragma once

#include "Platform/Clipboard.h"

#include <QObject>

namespace kestrove {

// The desktop's clipboard through Qt. Its change count grows once for each card we put there and
// once for each change another program makes.
class QtClipboard final : public QObject, public Clipboard
{
public:
    QtClipboard();

    void setImage(const std::string& png) override;
    std::int64_t changeCount() const override { return m_changes; }

private:
    std::int64_t m_changes = 0;
};

} // namespace kestrove
