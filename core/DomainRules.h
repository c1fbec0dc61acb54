#pragma once

#include "core/ContextKind.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kestrove {

// A site pattern with its kind: a lower-case host (covering its subdomains), optionally
// followed by "/" and a path, without scheme and without "www.".
struct SiteRule
{
    std::string_view suffix;
    ContextKind kind = ContextKind::shallow;

    bool operator==(const SiteRule&) const = default;
};

// Web activity is measured by site, never by full address.
namespace DomainRules {

// The lower-case host of an http, https or file address without one leading "www.";
// "" when the address does not parse or has no host.
std::string domain(std::string_view address);
// The decoded, lower-case path of an address without trailing slashes; "" when it does not parse.
std::string path(std::string_view address);

// Both of the above, parsing the address once (the classifier does this for every sample).
struct Page
{
    std::string domain;
    std::string path;
};
Page page(std::string_view address);

// The built-in site table. Order matters: earlier rows win ties.
extern const std::array<SiteRule, 78> defaults;

// The built-in kind of a domain by host only: the longest applying host wins, paths play no part.
std::optional<ContextKind> defaultKind(std::string_view domain);

} // namespace DomainRules

} // namespace kestrove
