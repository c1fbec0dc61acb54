#pragma once

#include <cstdint>
#include <string>

// Numbers in the system's texts: plain decimals, "." as the decimal point, never the
// process locale (Qt calls setlocale, after which printf would follow the user's locale).
namespace kestrove::NumberFormat {

std::string integer(std::int64_t value);
// Zero-padded to at least `width` digits ("%02d").
std::string padded(std::int64_t value, int width);
// Fixed notation with `decimals` digits after the point ("%.1f"), rounding half to even
// as printf does.
std::string fixed(double value, int decimals);
// The shortest text that reads back as the same double.
std::string shortest(double value);

} // namespace kestrove::NumberFormat
