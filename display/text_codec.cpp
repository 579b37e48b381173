// DecodeForScreen: the decoding of text/, its text taken into a QString;
// OnOneLine, the one rule for a line break inside a line.
#include "display/text_codec.h"

#include "text/decoded_text.h"

QString DecodeForScreen(std::string_view bytes) {
    return QString::fromStdU16String(DecodeText(bytes));
}

QString OnOneLine(QString text) {
    for (QChar& c : text)
        if (c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    return text;
}
