#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrove::Text {

// Removes white space and line breaks (any Unicode kind) from both ends.
std::string trimmed(std::string_view text);
// Removes only spaces and tabs from both ends; line breaks stay.
std::string trimmedSpacesAndTabs(std::string_view text);
// Empty after trimming white space and line breaks.
bool isBlank(std::string_view text);

// Unicode lower case (locale-independent). Invalid UTF-8 is replaced by U+FFFD.
std::string lowercased(std::string_view text);
// Unicode case folding, for comparisons that ignore case.
std::string caseFolded(std::string_view text);
bool equalsIgnoringCase(std::string_view a, std::string_view b);
bool containsIgnoringCase(std::string_view haystack, std::string_view needle);

bool startsWith(std::string_view text, std::string_view prefix);
bool endsWith(std::string_view text, std::string_view suffix);
// Number of Unicode scalar values (what a user would call characters, near enough).
std::size_t characterCount(std::string_view text);
// The first `count` characters, never cutting inside a UTF-8 sequence.
std::string prefixCharacters(std::string_view text, std::size_t count);
// Text from outside made safe to store: every ill-formed UTF-8 sequence (a stray byte, an
// overlong form, an encoded surrogate, a cut sequence) becomes U+FFFD, one for each maximal
// ill-formed part, and the text ends after `maxCharacters` characters.
std::string validUTF8(std::string_view text, std::size_t maxCharacters = SIZE_MAX);

} // namespace kestrove::Text
