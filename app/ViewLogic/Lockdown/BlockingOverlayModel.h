#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrove {

// What one screen's wall shows and how its break-out card behaves; the widget only draws it.
class BlockingOverlayModel
{
public:
    static constexpr std::string_view kBreakoutSentence =
        "I am knowingly deciding to abandon my focused work block and spend my later self's "
        "time.";

    enum class Card
    {
        callout,
        breakOut
    };

    // Whether `text` is the break-out sentence once both are lower-cased, every run of white
    // space or line breaks is one space and the ends are trimmed. Punctuation must be exact.
    static bool matches(std::string_view text);
    // "I need <name> for this", naming "this app" when the name is unknown.
    static std::string allowLabel(const std::optional<std::string>& blockedAppName);

    Card card() const { return m_card; }
    const std::string& escapeText() const { return m_escapeText; }
    bool canBreakOut() const { return matches(m_escapeText); }
    // Flips at every refused break-out, which jolts the field sideways.
    bool wiggle() const { return m_wiggle; }
    // Where the field rests: 8 points to the left while `wiggle` is set, else in place.
    double wiggleOffset() const { return m_wiggle ? -kWiggleShift : 0.0; }

    static constexpr double kWiggleShift = 8;
    // The jolt is a lively spring (response 0.15 s, damping 0.3): it overshoots and swings a
    // few times. Its position between two offsets `seconds` after the change; after
    // kWiggleSettle it has come to rest within a tenth of a point.
    static constexpr double kWiggleSettle = 0.5;
    static double wiggleAt(double from, double to, double seconds);

    void showBreakOutCard() { m_card = Card::breakOut; }
    // Back to the callout card; what was typed is dropped.
    void cancel();
    void setEscapeText(std::string text) { m_escapeText = std::move(text); }
    // True when the typed text matches and the task may end; otherwise the field jolts.
    bool pressBreakOut();

private:
    Card m_card = Card::callout;
    std::string m_escapeText;
    bool m_wiggle = false;
};

} // namespace kestrove
