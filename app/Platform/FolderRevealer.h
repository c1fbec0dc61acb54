#pragma once

#include <string>

namespace kestrove {

// Shows a folder in the user's file manager.
class FolderRevealer
{
public:
    virtual ~FolderRevealer() = default;

    virtual void reveal(const std::string& folder) = 0;
};

} // namespace kestrove
