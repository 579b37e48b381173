// The URL as the Internet client sends it, made from a URL as typed or
// found on a page, or from a redirection's Location header. URL.csv, the
// screen and the link table keep the URL as it was; only the request
// carries this form.
#pragma once

#include <string>
#include <string_view>

namespace torvesk::engine {

struct WireUrl {
    std::string text;   // ASCII without spaces or control bytes: fit to print on one line
    std::string scheme; // lower-case; empty when the URL names none
    // The host as text carries it, lower-case, an IPv6 literal in its
    // brackets; empty when the URL has no authority.
    std::string host;
    bool hostValid = true; // false when the host makes no name; text then holds its bytes encoded
};

// url as sent: C0 controls and spaces at either end dropped, as a browser
// drops them from what is typed; "http://" put in front when url names no
// scheme ("name:" followed by a port number is a host, not a scheme); an
// http or https scheme followed by "//" whatever slashes or backslashes
// followed it (WithAuthoritySlashes); the host as RequestHost sends it; then space, control bytes
// (0x00-0x1F, 0x7F), bytes 0x80 and above and " < > \ ^ ` { | } percent-encoded with upper-case hex
// digits. Every other byte stays as it is, an existing %XX and a lone
// "%" included, so nothing is encoded twice. Empty when url holds nothing
// but controls and spaces.
WireUrl RequestUrl(std::string_view url);

// The URL a redirection from hop (a URL as sent) leads to, as sent: the
// Location header's value, without controls and spaces at either end,
// resolved against hop as a relative reference (AsReference: "http:g"
// from an http page is relative, as browsers read it), host and bytes as
// above.
// Empty when the header holds nothing but controls and spaces: that is no
// redirection.
WireUrl RedirectUrl(std::string_view hop, std::string_view location);

// url as a line on standard error names it: in its form as sent, so that it
// stays one printable line, with the password of its user information shown
// as "***".
std::string UrlForLine(std::string_view url);

} // namespace torvesk::engine
