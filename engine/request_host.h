// The host name as it goes on the wire: an international name, typed or
// found on a page in UTF-8 or code page 932, in its ASCII form.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace torvesk::engine {

// host as sent. Plain ASCII hosts and IPv6 literals stay as they are. Any
// other is percent-decoded, read as the screen reads its bytes (UTF-8 words
// as UTF-8, the stretches between as code page 932) and turned into its
// ASCII form (a Punycode "xn--" label for each international one), by the
// current (non-transitional) rules: "ß" stays a letter of its own. Nothing
// when the bytes make no host name, or the name none the DNS could hold: an
// empty label (but after the one dot that may end a name), a label over 63
// bytes, "xn--" with nothing after it. An empty host is left to the caller.
std::optional<std::string> RequestHost(std::string_view host);

} // namespace torvesk::engine
