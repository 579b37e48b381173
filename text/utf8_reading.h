// Raw bytes turned into UTF-8 the way the screen reads them: the words that
// are UTF-8 as they are, the code page 932 stretches between them converted.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace torvesk::text {

// The bytes in UTF-8, or nothing when a code page 932 stretch holds a byte
// sequence that is no character there.
std::optional<std::string> ReadAsUtf8(std::string_view bytes);

} // namespace torvesk::text
