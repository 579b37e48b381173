// UTF-8 well-formedness for the mixed decoding of lines.
#include "text/text_runs.h"

namespace torvesk::text {

namespace {

// A lead byte: how many bytes its sequence takes and the bounds of the
// second byte, which rule out overlong forms, surrogates and values past
// U+10FFFF. Length 0 for a byte that cannot lead.
struct Lead {
    std::size_t length;
    int low;
    int high;
};

Lead ReadLead(unsigned char byte) {
    if (byte >= 0xC2 && byte <= 0xDF)
        return {2, 0x80, 0xBF};
    if (byte >= 0xE0 && byte <= 0xEF)
        return {3, byte == 0xE0 ? 0xA0 : 0x80, byte == 0xED ? 0x9F : 0xBF};
    if (byte >= 0xF0 && byte <= 0xF4)
        return {4, byte == 0xF0 ? 0x90 : 0x80, byte == 0xF4 ? 0x8F : 0xBF};
    return {0, 0, 0};
}

// Whole multi-byte characters a word needs before a cut last sequence still
// counts as UTF-8: one is too weak a sign, as code page 932 half-width kana
// pairs such as "ﾃｽ" (0xC3 0xBD) are well-formed UTF-8 too.
constexpr int kWholeBeforeCut = 2;

} // namespace

Utf8Sequence ReadUtf8(std::string_view bytes, std::size_t at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const Lead form = ReadLead(lead);
    if (form.length == 0)
        return {Utf8Status::Malformed, 1, 0};
    char32_t codePoint = lead & (0x7F >> form.length);
    for (std::size_t k = 1; k < form.length; ++k) {
        if (at + k == bytes.size())
            return {Utf8Status::Cut, k, 0};
        const auto next = static_cast<unsigned char>(bytes[at + k]);
        const int low = k == 1 ? form.low : 0x80, high = k == 1 ? form.high : 0xBF;
        if (next < low || next > high)
            return {Utf8Status::Malformed, 1, 0};
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    return {Utf8Status::Complete, form.length, codePoint};
}

bool IsUtf8Word(std::string_view word) {
    int whole = 0;
    for (std::size_t at = 0; at < word.size();) {
        if (static_cast<unsigned char>(word[at]) < 0x80) {
            ++at;
            continue;
        }
        const Utf8Sequence sequence = ReadUtf8(word, at);
        if (sequence.status != Utf8Status::Complete)
            return sequence.status == Utf8Status::Cut && whole >= kWholeBeforeCut;
        ++whole;
        at += sequence.length;
    }
    return whole > 0;
}

} // namespace torvesk::text
