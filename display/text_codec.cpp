// DecodeForScreen: the decoding of text/, its text taken into a QString.
#include "display/text_codec.h"

#include "text/decoded_text.h"

QString DecodeForScreen(std::string_view bytes) {
    return QString::fromStdU16String(DecodeText(bytes));
}
