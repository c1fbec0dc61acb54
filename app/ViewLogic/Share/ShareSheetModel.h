#pragma once

#include "ViewLogic/Share/ShareCard.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrove {

namespace ShareSheetTexts {

inline constexpr const char* kEyebrow = "Share";
inline constexpr const char* kDone = "Done";
inline constexpr const char* kCopy = "Copy image";
inline constexpr const char* kCopied = "Copied";
inline constexpr const char* kSave = "Save PNG…";
inline constexpr const char* kSaved = "Saved";
inline constexpr const char* kNotSaved = "Not saved";
inline constexpr const char* kPost = "Post on X";
inline constexpr const char* kHandle = "Handle";
inline constexpr const char* kHandlePlaceholder = "@you";
inline constexpr const char* kPostTextEyebrow = "Post text";
inline constexpr const char* kPostHint =
    "Post on X opens the composer with this text and attaches the card. If the card does not "
    "show up, press Ctrl+V in the post; it is on your clipboard.";
// The preference that holds the handle printed on cards.
inline constexpr const char* kHandleKey = "shareHandle";
// The host of the site's post-intent address.
inline constexpr const char* kPostHost = "x.com";

} // namespace ShareSheetTexts

namespace ShareSheetModel {

// "Today's card", "Monday, Mar 3 card", "This week's card".
std::string title(const SharePeriod& period, Date now, const std::string& locale = {});
// What the save dialog proposes: "kestrove-2026-03-04.png", "kestrove-week-2026-03-04.png",
// dated by the day of saving.
std::string proposedFileName(const SharePeriod& period, Date now);
// The file an exported card is written to: "kestrove-today.png" or "kestrove-week.png".
std::string exportFileName(bool week);
// Every byte but the unreserved ones escaped as %XX, so a query value decodes to `text` exactly
// ("+" and "&" included).
std::string percentEncoded(std::string_view text);
// https://<host>/intent/post?text=<the text, escaped>.
std::string postAddress(std::string_view text, std::string_view host = ShareSheetTexts::kPostHost);

} // namespace ShareSheetModel

// The sheet's state between builds and the feedback of its buttons. Builds may overlap (a handle
// submitted while the first build runs); only the newest one is shown, whatever order they end
// in. Feedback labels go back 1.5 s after their own action. Main thread only.
class ShareSheetState
{
public:
    static constexpr double kFeedbackSeconds = 1.5;

    enum class SaveFeedback
    {
        none,
        saved,
        failed
    };

    // A new build; its number is handed back with its result.
    std::uint64_t beginBuild() { return ++m_newestBuild; }
    // Takes a build's result: false (and nothing changes) when a newer build was begun since.
    bool finishBuild(std::uint64_t build, ShareCard card);
    bool hasCard() const { return m_card.has_value(); }
    const std::optional<ShareCard>& card() const { return m_card; }

    // A second action within the 1.5 s does not prolong the first one's feedback.
    void copied() { m_copied = true; }
    void resetCopied() { m_copied = false; }
    // A save that did not reach the file says so rather than "Saved".
    void saveFinished(bool written)
    {
        m_save = written ? SaveFeedback::saved : SaveFeedback::failed;
    }
    void resetSaved() { m_save = SaveFeedback::none; }

    std::string copyLabel() const;
    std::string saveLabel() const;
    SaveFeedback saveFeedback() const { return m_save; }

private:
    std::uint64_t m_newestBuild = 0;
    std::optional<ShareCard> m_card;
    bool m_copied = false;
    SaveFeedback m_save = SaveFeedback::none;
};

} // namespace kestrove
