#pragma once

#include <string>
#include <string_view>

namespace kestrove::Uuid {

// A random (version 4) UUID as 36 upper-case characters.
std::string generate();
// 8-4-4-4-12 hexadecimal digits in either case.
bool isValid(std::string_view text);
// The canonical upper-case form, or "" when the text is not a UUID.
std::string normalized(std::string_view text);

} // namespace kestrove::Uuid
