// Code page 932 (Shift-JIS) text to and from UTF-8, on glibc iconv.
#pragma once

#include <cstddef>
#include <string>

// Decodes bytes; a sequence that does not decode becomes U+FFFD and decoding
// goes on after it.
std::string Cp932ToUtf8(const char* bytes, std::size_t length);

// Encodes text into at most maxBytes bytes of code page 932, never splitting
// a double-byte character; a character code page 932 lacks becomes "?".
std::string Utf8ToCp932(const std::string& text, std::size_t maxBytes);
