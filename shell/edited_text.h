// The bytes the start dialog stores after the user edited its field.
#pragma once

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

namespace torvesk::shell {

// The bytes to store when a field that showed DecodeForScreen(original) now
// holds edited: the characters at the start and the end that are unchanged
// keep their original bytes, whatever they showed as; the characters in
// between are encoded anew (see edited_text.cpp). At most maxBytes bytes,
// ending before the first character that would not fit.
std::string EncodeEditedText(std::string_view original, const QString& edited,
                             std::size_t maxBytes);

} // namespace torvesk::shell
