#pragma once

namespace kestrove {

// Sends synthetic key presses to the window in front, as if typed. Main thread only.
class KeySender
{
public:
    virtual ~KeySender() = default;

    // Ctrl+V pressed and released; false when the keys could not be sent.
    virtual bool sendPaste() = 0;
};

} // namespace kestrove
