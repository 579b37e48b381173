// DecodeForScreen and OnOneLine: the rules of text/, their text taken into
// and out of a QString.
#include "display/text_codec.h"

#include "text/decoded_text.h"
#include "text/line_rules.h"

QString DecodeForScreen(std::string_view bytes) {
    return QString::fromStdU16String(DecodeText(bytes));
}

QString OnOneLine(const QString& text) {
    return QString::fromStdU16String(OnOneLine(text.toStdU16String()));
}
