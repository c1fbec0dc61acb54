#include "core/DomainRules.h"

#include "core/Segment.h"
#include "core/Text.h"

#include <unicode/utf8.h>

namespace kestrove {

namespace {

// The parts of an address (RFC 3986, with UTF-8 allowed as in an IRI) that the rules need,
// as views into the trimmed address.
struct ParsedAddress
{
    std::string_view scheme;              // empty for a relative reference
    std::optional<std::string_view> host; // absent without an authority; still percent-encoded
    std::string_view path;                // still percent-encoded
};

bool isAsciiAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isAsciiDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool isValidUtf8(std::string_view text)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) {
            return false;
        }
    }
    return true;
}

// Characters that may not appear anywhere in an address: controls, spaces, and the
// delimiters RFC 3986 leaves out. A "%" must introduce two hex digits.
bool hasOnlyAddressCharacters(std::string_view text)
{
    bool ascii = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        switch (c) {
        case '"':
        case '<':
        case '>':
        case '\\':
        case '^':
        case '`':
        case '{':
        case '|':
        case '}':
        case 0x7f:
            return false;
        case '%':
            if (i + 2 >= text.size() || hexValue(text[i + 1]) < 0 || hexValue(text[i + 2]) < 0) {
                return false;
            }
            break;
        default:
            if (c <= 0x20) {
                return false;
            }
            ascii = ascii && c < 0x80;
        }
    }
    return ascii || isValidUtf8(text);
}

std::string_view schemeOf(std::string_view text)
{
    if (text.empty() || !isAsciiAlpha(text.front())) {
        return {};
    }
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ':') {
            return text.substr(0, i);
        }
        if (!isAsciiAlpha(c) && !isAsciiDigit(c) && c != '+' && c != '-' && c != '.') {
            return {};
        }
    }
    return {};
}

bool isAllDigits(std::string_view text)
{
    for (char c : text) {
        if (!isAsciiDigit(c)) {
            return false;
        }
    }
    return true;
}

// host[:port] after any user information; an IP literal loses its brackets.
std::optional<std::string_view> hostOf(std::string_view authority)
{
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    std::string_view host;
    std::string_view rest;
    if (!authority.empty() && authority.front() == '[') {
        const auto close = authority.find(']');
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        host = authority.substr(1, close - 1);
        rest = authority.substr(close + 1);
    } else {
        const auto colon = authority.find(':');
        host = authority.substr(0, colon);
        rest = colon == std::string_view::npos ? std::string_view{} : authority.substr(colon);
        if (host.find_first_of("[]") != std::string_view::npos) {
            return std::nullopt;
        }
    }
    if (!rest.empty() && (rest.front() != ':' || !isAllDigits(rest.substr(1)))) {
        return std::nullopt;
    }
    return host;
}

// Addresses from browsers need no trimming; only others pay for the Unicode scan.
std::string_view trimmedView(std::string_view address, std::string& storage)
{
    const auto isPlain = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte > 0x20 && byte < 0x7f;
    };
    if (!address.empty() && isPlain(address.front()) && isPlain(address.back())) {
        return address;
    }
    storage = Text::trimmed(address);
    return storage;
}

std::optional<ParsedAddress> parse(std::string_view text)
{
    if (text.empty() || !hasOnlyAddressCharacters(text)) {
        return std::nullopt;
    }
    ParsedAddress parsed;
    std::string_view rest = text;
    parsed.scheme = schemeOf(rest);
    if (!parsed.scheme.empty()) {
        rest.remove_prefix(parsed.scheme.size() + 1);
    }
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        const auto end = rest.find_first_of("/?#");
        parsed.host = hostOf(rest.substr(0, end));
        if (!parsed.host) {
            return std::nullopt;
        }
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end);
    }
    parsed.path = rest.substr(0, rest.find_first_of("?#"));
    return parsed;
}

// Percent-decoded and lower-cased; absent when the decoded bytes are not UTF-8 text.
std::optional<std::string> decodedLowercased(std::string_view text)
{
    if (text.find('%') == std::string_view::npos) {
        return Text::lowercased(text); // already checked to be UTF-8
    }
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%') {
            out.push_back(static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    if (!isValidUtf8(out)) {
        return std::nullopt;
    }
    return Text::lowercased(out);
}

bool isWebScheme(std::string_view scheme)
{
    constexpr std::string_view kSchemes[] = {"http", "https", "file"};
    for (std::string_view known : kSchemes) {
        if (scheme.size() == known.size() && Text::lowercased(scheme) == known) {
            return true;
        }
    }
    return false;
}

std::string domainOf(const std::optional<ParsedAddress>& parsed)
{
    if (!parsed || !parsed->host || !isWebScheme(parsed->scheme)) {
        return {};
    }
    auto host = decodedLowercased(*parsed->host);
    if (!host) {
        return {};
    }
    if (Text::startsWith(*host, "www.")) {
        host->erase(0, 4);
    }
    return std::move(*host);
}

std::string pathOf(const std::optional<ParsedAddress>& parsed)
{
    if (!parsed) {
        return {};
    }
    auto path = decodedLowercased(parsed->path);
    if (!path) {
        return {};
    }
    while (!path->empty() && path->back() == '/') {
        path->pop_back();
    }
    return std::move(*path);
}

} // namespace

namespace DomainRules {

std::string domain(std::string_view address)
{
    std::string storage;
    return domainOf(parse(trimmedView(address, storage)));
}

std::string path(std::string_view address)
{
    std::string storage;
    return pathOf(parse(trimmedView(address, storage)));
}

Page page(std::string_view address)
{
    std::string storage;
    const auto parsed = parse(trimmedView(address, storage));
    return {domainOf(parsed), pathOf(parsed)};
}

// Path rows follow the rows of their hosts, so the host-only lookup reports the host's own kind.
constexpr std::array<SiteRule, 78> defaults = {{
    // Source-code hosting.
    {"github.com", ContextKind::deep},
    {"gitlab.com", ContextKind::deep},
    {"bitbucket.org", ContextKind::deep},
    // Documents, notes and typesetting.
    {"docs.google.com", ContextKind::deep},
    {"notion.so", ContextKind::deep},
    {"overleaf.com", ContextKind::deep},
    {"coda.io", ContextKind::deep},
    {"hackmd.io", ContextKind::deep},
    {"roamresearch.com", ContextKind::deep},
    {"workflowy.com", ContextKind::deep},
    // Design and whiteboards.
    {"figma.com", ContextKind::deep},
    {"miro.com", ContextKind::deep},
    {"excalidraw.com", ContextKind::deep},
    {"canva.com", ContextKind::deep},
    // AI assistants.
    {"chatgpt.com", ContextKind::deep},
    {"claude.ai", ContextKind::deep},
    {"gemini.google.com", ContextKind::deep},
    {"perplexity.ai", ContextKind::deep},
    // Platforms for developers: coding, hosting, payments, analytics.
    {"replit.com", ContextKind::deep},
    {"codesandbox.io", ContextKind::deep},
    {"vercel.com", ContextKind::deep},
    {"netlify.com", ContextKind::deep},
    {"heroku.com", ContextKind::deep},
    {"supabase.com", ContextKind::deep},
    {"console.aws.amazon.com", ContextKind::deep},
    {"console.cloud.google.com", ContextKind::deep},
    {"dashboard.stripe.com", ContextKind::deep},
    {"posthog.com", ContextKind::deep},
    // Issue tracking.
    {"linear.app", ContextKind::deep},
    // Local development: the loopback name has no dot, so only the host lookup sees it.
    {"localhost", ContextKind::deep},
    {"127.0.0.1", ContextKind::deep},
    // Audio and video creation.
    {"studio.youtube.com", ContextKind::deep},
    {"descript.com", ContextKind::deep},
    {"riverside.fm", ContextKind::deep},
    {"soundtrap.com", ContextKind::deep},
    {"bandlab.com", ContextKind::deep},
    // Developer documentation and questions.
    {"developer.mozilla.org", ContextKind::deep},
    {"stackoverflow.com", ContextKind::deep},
    // Web mail.
    {"mail.google.com", ContextKind::shallow},
    {"outlook.live.com", ContextKind::shallow},
    {"mail.yahoo.com", ContextKind::shallow},
    {"mail.proton.me", ContextKind::shallow},
    // Calendar.
    {"calendar.google.com", ContextKind::shallow},
    // Messaging and team chat.
    {"app.slack.com", ContextKind::shallow},
    {"teams.microsoft.com", ContextKind::shallow},
    {"web.whatsapp.com", ContextKind::shallow},
    {"web.telegram.org", ContextKind::shallow},
    // Video meetings.
    {"meet.google.com", ContextKind::shallow},
    {"zoom.us", ContextKind::shallow},
    {"whereby.com", ContextKind::shallow},
    // File storage.
    {"drive.google.com", ContextKind::shallow},
    {"dropbox.com", ContextKind::shallow},
    // Shopping and payments.
    {"amazon.com", ContextKind::shallow},
    {"ebay.com", ContextKind::shallow},
    {"paypal.com", ContextKind::shallow},
    // Time tracking.
    {"toggl.com", ContextKind::shallow},
    // Professional network.
    {"linkedin.com", ContextKind::shallow},
    // Video and streaming.
    {"youtube.com", ContextKind::distraction},
    {"netflix.com", ContextKind::distraction},
    {"twitch.tv", ContextKind::distraction},
    {"primevideo.com", ContextKind::distraction},
    {"disneyplus.com", ContextKind::distraction},
    // Social networks and image boards.
    {"x.com", ContextKind::distraction},
    {"twitter.com", ContextKind::distraction},
    {"facebook.com", ContextKind::distraction},
    {"instagram.com", ContextKind::distraction},
    {"reddit.com", ContextKind::distraction},
    {"tiktok.com", ContextKind::distraction},
    {"pinterest.com", ContextKind::distraction},
    {"imgur.com", ContextKind::distraction},
    {"4chan.org", ContextKind::distraction},
    // Technology news.
    {"news.ycombinator.com", ContextKind::distraction},
    // Paths that give part of a site another kind.
    {"substack.com/publish", ContextKind::deep},
    {"youtube.com/upload", ContextKind::deep},
    {"x.com/compose", ContextKind::deep},
    {"x.com/messages", ContextKind::shallow},
    {"twitter.com/messages", ContextKind::shallow},
    {"linkedin.com/feed", ContextKind::distraction},
}};

std::optional<ContextKind> defaultKind(std::string_view domain)
{
    const std::string lower = Text::lowercased(domain);
    if (lower.empty()) {
        return std::nullopt;
    }
    std::optional<ContextKind> kind;
    std::size_t longest = 0;
    for (const SiteRule& row : defaults) {
        std::string_view host = row.suffix;
        while (!host.empty() && host.front() == '/') {
            host.remove_prefix(1);
        }
        host = host.substr(0, host.find('/'));
        const bool applies =
            lower == host || (Text::endsWith(lower, host) && lower.size() > host.size() &&
                              lower[lower.size() - host.size() - 1] == '.');
        const std::size_t length = Text::characterCount(host);
        if (applies && (!kind || length > longest)) {
            kind = row.kind;
            longest = length;
        }
    }
    return kind;
}

} // namespace DomainRules

std::string ContextSample::domain() const
{
    return DomainRules::domain(url);
}

std::string ContextSample::path() const
{
    return DomainRules::path(url);
}

} // namespace kestrove
