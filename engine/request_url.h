// The URL as the Internet client sends it: bytes a URL may not hold,
// percent-encoded.
#pragma once

#include <string>
#include <string_view>

// Space, control bytes (0x00-0x1F, 0x7F), bytes 0x80 and above, and
// " < > \ ^ ` { | } become %XX with upper-case hex digits; every other byte
// stays as it is, an existing %XX and a lone "%" included, so nothing is
// encoded twice. Links are taken from pages as written, and libcurl refuses
// a URL holding a space.
std::string RequestUrl(std::string_view url);
