// Code page 932 text for tests and benchmarks, on iconv directly: the way
// the program decoded every text before it knew UTF-8 (the reference the
// screen's decoding must match for code page 932 text), and UTF-8 literals
// turned into code page 932 bytes.
#pragma once

#include <string>

// All bytes as code page 932; what does not decode becomes U+FFFD.
std::string Cp932ToUtf8(const std::string& bytes);
std::u16string Cp932ToUtf16(const std::string& bytes);

// utf8 in code page 932; a character it lacks becomes "?".
std::string Utf8ToCp932(const std::string& utf8);
