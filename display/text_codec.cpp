// DecodeForScreen and OnOneLine: the rules of text/, their text taken into
// and out of a QString.
#include "display/text_codec.h"

#include "text/decoded_text.h"
#include "text/line_rules.h"

using namespace torvesk::text;

namespace torvesk::display {

QString DecodeForScreen(std::string_view bytes) {
    return QString::fromStdU16String(DecodeText(bytes));
}

QString OnOneLine(const QString& text) {
    return QString::fromStdU16String(text::OnOneLine(text.toStdU16String()));
}

} // namespace torvesk::display
