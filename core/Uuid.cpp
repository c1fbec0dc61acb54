#include "core/Uuid.h"

#include <random>

namespace kestrove::Uuid {

namespace {

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

std::string generate()
{
    thread_local std::mt19937_64 engine{std::random_device{}()};
    std::uniform_int_distribution<unsigned> nibble(0, 15);
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(36);
    for (int i = 0; i < 32; ++i) {
        if (i == 8 || i == 12 || i == 16 || i == 20) {
            out += '-';
        }
        unsigned value = nibble(engine);
        if (i == 12) {
            value = 4; // version 4
        } else if (i == 16) {
            value = 8 | (value & 3); // RFC 4122 variant
        }
        out += kDigits[value];
    }
    return out;
}

bool isValid(std::string_view text)
{
    if (text.size() != 36) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? text[i] != '-' : !isHex(text[i])) {
            return false;
        }
    }
    return true;
}

std::string normalized(std::string_view text)
{
    if (!isValid(text)) {
        return {};
    }
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'f') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

} // namespace kestrove::Uuid
