#include "core/Text.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <algorithm>

namespace kestrove::Text {

namespace {

bool isWhiteSpaceOrNewline(UChar32 c)
{
    return u_isUWhiteSpace(c) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

template <typename Predicate> std::string trimmedBy(std::string_view text, Predicate isTrimmed)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    int32_t begin = 0;
    while (begin < length) {
        int32_t next = begin;
        UChar32 c;
        U8_NEXT(bytes, next, length, c);
        if (c < 0 || !isTrimmed(c)) {
            break;
        }
        begin = next;
    }
    int32_t end = length;
    while (end > begin) {
        int32_t previous = end;
        UChar32 c;
        U8_PREV(bytes, 0, previous, c);
        if (c < 0 || !isTrimmed(c)) {
            break;
        }
        end = previous;
    }
    return std::string(text.substr(begin, end - begin));
}

icu::UnicodeString fromUtf8(std::string_view text)
{
    return icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

std::string toUtf8(const icu::UnicodeString& text)
{
    std::string out;
    text.toUTF8String(out);
    return out;
}

bool isAscii(std::string_view text)
{
    for (unsigned char c : text) {
        if (c >= 0x80) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string trimmed(std::string_view text)
{
    return trimmedBy(text, isWhiteSpaceOrNewline);
}

std::string trimmedSpacesAndTabs(std::string_view text)
{
    return trimmedBy(text,
                     [](UChar32 c) { return c == '\t' || u_charType(c) == U_SPACE_SEPARATOR; });
}

bool isBlank(std::string_view text)
{
    return trimmed(text).empty();
}

std::string lowercased(std::string_view text)
{
    if (isAscii(text)) {
        // The common case (identifiers, host names) without a round trip through UTF-16.
        std::string out(text);
        for (char& c : out) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
        return out;
    }
    icu::UnicodeString s = fromUtf8(text);
    s.toLower(icu::Locale::getRoot());
    return toUtf8(s);
}

std::string caseFolded(std::string_view text)
{
    if (isAscii(text)) {
        return lowercased(text);
    }
    icu::UnicodeString s = fromUtf8(text);
    s.foldCase();
    return toUtf8(s);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return caseFolded(a) == caseFolded(b);
}

bool containsIgnoringCase(std::string_view haystack, std::string_view needle)
{
    return caseFolded(haystack).find(caseFolded(needle)) != std::string::npos;
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::size_t characterCount(std::string_view text)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    std::size_t count = 0;
    for (int32_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        ++count;
    }
    return count;
}

std::string prefixCharacters(std::string_view text, std::size_t count)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    int32_t i = 0;
    for (std::size_t n = 0; n < count && i < length; ++n) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
    }
    return std::string(text.substr(0, static_cast<std::size_t>(i)));
}

std::string validUTF8(std::string_view text, std::size_t maxCharacters)
{
    constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    std::string result;
    result.reserve(std::min(text.size(), maxCharacters));
    int32_t i = 0;
    for (std::size_t n = 0; n < maxCharacters && i < length; ++n) {
        const int32_t start = i;
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) {
            result += kReplacement;
        } else {
            result.append(
                text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)));
        }
    }
    return result;
}

} // namespace kestrove::Text
