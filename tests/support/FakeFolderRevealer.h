#pragma once

#include "Platform/FolderRevealer.h"

#include <string>
#include <vector>

namespace kestrove {

class FakeFolderRevealer final : public FolderRevealer
{
public:
    std::vector<std::string> revealed;
    void reveal(const std::string& folder) override { revealed.push_back(folder); }
};

} // namespace kestrove
