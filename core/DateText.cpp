#include "core/DateText.h"

#include <unicode/datefmt.h>
#include <unicode/simpletz.h>
#include <unicode/smpdtfmt.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace kestrove::DateText {

namespace {

// "de_DE.UTF-8@euro" → "de_DE".
std::string icuName(std::string posix)
{
    const auto cut = posix.find_first_of(".@");
    if (cut != std::string::npos) {
        posix.erase(cut);
    }
    return posix;
}

// Unset, "C", "C.UTF-8" and "POSIX" name no language.
bool namesALanguage(const char* name)
{
    if (!name || !*name) {
        return false;
    }
    const std::string language = icuName(name);
    return language != "C" && language != "POSIX";
}

// ICU keeps its own copy of the zone from its first use; the offset of the process's zone at
// the instant itself stays right when TZ changes, and short times show no zone name.
icu::TimeZone* zoneAt(Date date)
{
    const auto seconds = static_cast<std::time_t>(std::floor(date));
    std::tm tm{};
    localtime_r(&seconds, &tm);
    return new icu::SimpleTimeZone(static_cast<int32_t>(tm.tm_gmtoff * 1000), "local");
}

std::string format(icu::DateFormat& formatter, Date date)
{
    formatter.adoptTimeZone(zoneAt(date));
    icu::UnicodeString text;
    formatter.format(date * 1000.0, text);
    std::string result;
    text.toUTF8String(result);
    return result;
}

icu::Locale localeNamed(const std::string& locale)
{
    return icu::Locale((locale.empty() ? userLocale() : locale).c_str());
}

// Dates outside what the C library can convert give no text rather than undefined behaviour.
bool isConvertible(Date date)
{
    return std::isfinite(date) && std::fabs(date) < 1e15;
}

} // namespace

std::string shortTime(Date date, const std::string& locale)
{
    if (!isConvertible(date)) {
        return {};
    }
    std::unique_ptr<icu::DateFormat> formatter(
        icu::DateFormat::createTimeInstance(icu::DateFormat::kShort, localeNamed(locale)));
    return formatter ? format(*formatter, date) : std::string();
}

std::string formatted(Date date, const std::string& pattern, const std::string& locale)
{
    if (!isConvertible(date)) {
        return {};
    }
    UErrorCode status = U_ZERO_ERROR;
    icu::SimpleDateFormat formatter(icu::UnicodeString::fromUTF8(pattern), localeNamed(locale),
                                    status);
    return U_FAILURE(status) ? std::string() : format(formatter, date);
}

std::string userLocale()
{
    const char* current = std::setlocale(LC_TIME, nullptr);
    if (namesALanguage(current)) {
        return icuName(current);
    }
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(variable);
        if (namesALanguage(value)) {
            return icuName(value);
        }
    }
    return "en_US";
}

} // namespace kestrove::DateText
