#pragma once

#include <cstdint>
#include <string>

namespace kestrove {

// The desktop's clipboard, as far as sharing a card needs it. Main thread only.
class Clipboard
{
public:
    virtual ~Clipboard() = default;

    // Replaces the clipboard's contents with an image given as PNG bytes, offered both as PNG
    // data and as an image for receivers that take only images.
    virtual void setImage(const std::string& png) = 0;
    // Grows by one each time anything (this program or another) sets the clipboard.
    virtual std::int64_t changeCount() const = 0;
};

} // namespace kestrove
