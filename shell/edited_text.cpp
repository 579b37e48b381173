// EncodeEditedText: the bytes behind a field after the user edited it.
#include "shell/edited_text.h"

#include "display/text_codec.h"
#include "text/decoded_text.h"
#include "text/iconv_converter.h"

#include <algorithm>

using namespace torvesk::display;
using namespace torvesk::text;

namespace torvesk::shell {

namespace {

// Whole characters, appended while they fit: the first that does not fit
// ends the text, so none is ever cut.
class BoundedBytes {
public:
    explicit BoundedBytes(std::size_t maxBytes) : limit(maxBytes) {}

    void Add(std::string_view character) {
        full = full || bytes.size() + character.size() > limit;
        if (!full)
            bytes.append(character);
    }
    std::string Take() { return std::move(bytes); }

private:
    std::size_t limit;
    bool full = false;
    std::string bytes;
};

// UTF-16 units shared at the start and at the end, never splitting a
// surrogate pair, and never overlapping in the shorter text.
struct CommonEnds {
    qsizetype prefix = 0;
    qsizetype suffix = 0;
};

CommonEnds FindCommonEnds(QStringView shown, QStringView edited) {
    const qsizetype shorter = std::min(shown.size(), edited.size());
    CommonEnds ends;
    while (ends.prefix < shorter && shown[ends.prefix] == edited[ends.prefix])
        ++ends.prefix;
    if (ends.prefix > 0 && shown[ends.prefix - 1].isHighSurrogate())
        --ends.prefix;
    const auto fromEnd = [](QStringView text, qsizetype k) { return text[text.size() - 1 - k]; };
    while (ends.suffix < shorter - ends.prefix &&
           fromEnd(shown, ends.suffix) == fromEnd(edited, ends.suffix))
        ++ends.suffix;
    if (ends.suffix > 0 && shown[shown.size() - ends.suffix].isLowSurrogate())
        --ends.suffix;
    return ends;
}

// The original bytes of the characters behind units [from, to).
void AddOriginal(BoundedBytes& out, std::string_view original, const DecodedText& shown,
                 qsizetype from, qsizetype to) {
    for (qsizetype unit = from; unit < to; ++unit) {
        const ByteRange source = shown.sources[static_cast<std::size_t>(unit)];
        if (unit == from || source != shown.sources[static_cast<std::size_t>(unit - 1)])
            out.Add(Slice(original, source));
    }
}

// How the typed characters are stored: code page 932 first, as the
// program's own texts are; UTF-8 when only that shows them back as typed:
// inside a UTF-8 word, code page 932 bytes would turn the word into
// mojibake, and code page 932 maps some characters to look-alikes ("¥" to
// "\"), which would silently change a URL.
enum class Typed { Cp932, Utf8 };

// A typed character in code page 932; one it lacks in UTF-8, not "?":
// nothing typed is lost, "?" would start a URL's query, and UTF-8 is what
// URLs carry beyond ASCII: the request percent-encodes these bytes as a
// browser would.
std::string EncodeCp932(Converter& encoder, QStringView character) {
    char bytes[4];
    char* out = bytes;
    std::size_t outLeft = sizeof bytes;
    const char* in = reinterpret_cast<const char*>(character.utf16());
    std::size_t inLeft = static_cast<std::size_t>(character.size()) * sizeof(char16_t);
    if (encoder.Convert(in, inLeft, out, outLeft) == 0)
        return std::string(bytes, out - bytes);
    return character.toUtf8().toStdString();
}

void AddTyped(BoundedBytes& out, QStringView typed, Typed encoding) {
    Converter encoder("CP932", kNativeUtf16);
    for (qsizetype at = 0; at < typed.size();) {
        const qsizetype units = typed[at].isHighSurrogate() && at + 1 < typed.size() ? 2 : 1;
        const QStringView character = typed.mid(at, units);
        out.Add(encoding == Typed::Cp932 ? EncodeCp932(encoder, character)
                                         : character.toUtf8().toStdString());
        at += units;
    }
}

std::string Compose(std::string_view original, const DecodedText& shown, const QString& edited,
                    Typed encoding, std::size_t maxBytes) {
    const QStringView shownText(shown.text);
    const CommonEnds ends = FindCommonEnds(shownText, edited);
    const QStringView typed =
        QStringView(edited).mid(ends.prefix, edited.size() - ends.prefix - ends.suffix);
    BoundedBytes out(maxBytes);
    AddOriginal(out, original, shown, 0, ends.prefix);
    AddTyped(out, typed, encoding);
    AddOriginal(out, original, shown, shownText.size() - ends.suffix, shownText.size());
    return out.Take();
}

// True when bytes show as edited, or as its start when the limit cut them.
bool ShowsAs(const std::string& bytes, const QString& edited) {
    return edited.startsWith(DecodeForScreen(bytes));
}

} // namespace

std::string EncodeEditedText(std::string_view original, const QString& edited,
                             std::size_t maxBytes) {
    const DecodedText shown = DecodeWithSources(original);
    std::string cp932 = Compose(original, shown, edited, Typed::Cp932, maxBytes);
    if (ShowsAs(cp932, edited))
        return cp932;
    std::string utf8 = Compose(original, shown, edited, Typed::Utf8, maxBytes);
    return ShowsAs(utf8, edited) ? utf8 : cp932;
}

} // namespace torvesk::shell
