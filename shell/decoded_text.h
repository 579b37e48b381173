// The start dialog's field as shown, with the bytes behind each of its
// characters: what lets the dialog keep the bytes the user did not touch.
#pragma once

#include "text/byte_range.h"

#include <QString>

#include <string_view>
#include <vector>

// DecodeForScreen's text, and for each of its UTF-16 code units the bytes
// of the character it belongs to (both halves of a surrogate pair share
// them). The ranges cover the input in order, without gaps.
struct DecodedText {
    QString text;
    std::vector<ByteRange> sources;
};
DecodedText DecodeWithSources(std::string_view bytes);
