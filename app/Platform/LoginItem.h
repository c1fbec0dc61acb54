#pragma once

namespace kestrove {

// Whether Kestrove starts by itself when the user signs in.
class LoginItem
{
public:
    virtual ~LoginItem() = default;

    virtual bool isEnabled() const = 0;
    // False when the desktop's start-up list could not be changed; nothing was changed then.
    virtual bool setEnabled(bool enabled) = 0;
};

} // namespace kestrove
