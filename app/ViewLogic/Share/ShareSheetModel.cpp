#include "ViewLogic/Share/ShareSheetModel.h"

#include "core/Calendar.h"
#include "core/DateText.h"

namespace kestrove {

namespace ShareSheetModel {

std::string title(const SharePeriod& period, Date now, const std::string& locale)
{
    if (period.isWeek()) {
        return "This week's card";
    }
    if (Calendar::isSameDay(period.start, now)) {
        return "Today's card";
    }
    return DateText::formatted(period.start, "EEEE, MMM d", locale) + " card";
}

std::string proposedFileName(const SharePeriod& period, Date now)
{
    return std::string(period.isWeek() ? "kestrove-week-" : "kestrove-") +
           Calendar::dayString(now) + ".png";
}

std::string exportFileName(bool week)
{
    return week ? "kestrove-week.png" : "kestrove-today.png";
}

std::string percentEncoded(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size() * 3);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                                (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                                byte == '_' || byte == '~';
        if (unreserved) {
            encoded.push_back(c);
        } else {
            encoded.push_back('%');
            encoded.push_back(kHex[byte >> 4]);
            encoded.push_back(kHex[byte & 0x0F]);
        }
    }
    return encoded;
}

std::string postAddress(std::string_view text, std::string_view host)
{
    return "https://" + std::string(host) + "/intent/post?text=" + percentEncoded(text);
}

} // namespace ShareSheetModel

bool ShareSheetState::finishBuild(std::uint64_t build, ShareCard card)
{
    if (build != m_newestBuild) {
        return false;
    }
    m_card = std::move(card);
    return true;
}

std::string ShareSheetState::copyLabel() const
{
    return m_copied ? ShareSheetTexts::kCopied : ShareSheetTexts::kCopy;
}

std::string ShareSheetState::saveLabel() const
{
    switch (m_save) {
    case SaveFeedback::saved:
        return ShareSheetTexts::kSaved;
    case SaveFeedback::failed:
        return ShareSheetTexts::kNotSaved;
    case SaveFeedback::none:
        break;
    }
    return ShareSheetTexts::kSave;
}

} // namespace kestrove
