// How a line is split for the mixed decoding: UTF-8 sequences, the words
// that count as UTF-8 (a cut last character only after two whole ones), the
// code page 932 stretches between them, and the line read into UTF-8 that way.
#include "text/text_runs.h"
#include "text/utf8_reading.h"

#include "support/cp932_reference.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace torvesk::text;

namespace {

// Each run of ForEachRun as "932:" or "utf8:" and its bytes.
std::vector<std::string> Runs(std::string_view bytes) {
    std::vector<std::string> runs;
    ForEachRun(
        bytes, [&](ByteRange range) { runs.push_back("932:" + std::string(Slice(bytes, range))); },
        [&](ByteRange range) { runs.push_back("utf8:" + std::string(Slice(bytes, range))); });
    return runs;
}

} // namespace

TEST(ReadUtf8, TellsWholeCutAndMalformedSequencesApart) {
    const Utf8Sequence emoji = ReadUtf8("\xF0\x9F\x98\x80", 0);
    EXPECT_EQ(emoji.status, Utf8Status::Complete);
    EXPECT_EQ(emoji.length, 4u);
    EXPECT_EQ(emoji.codePoint, U'\U0001F600');
    const Utf8Sequence cut = ReadUtf8("x\xE6\x97", 1);
    EXPECT_EQ(cut.status, Utf8Status::Cut);
    EXPECT_EQ(cut.length, 2u);
    for (const char* malformed : {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                                  "\xE6\x41\x41", "\x80", "\xF5\x80\x80\x80"}) {
        const Utf8Sequence sequence = ReadUtf8(malformed, 0);
        EXPECT_EQ(sequence.status, Utf8Status::Malformed) << malformed;
        EXPECT_EQ(sequence.length, 1u) << malformed;
    }
}

// Code page 932 half-width kana pairs can be well-formed UTF-8 too, so a cut
// last sequence counts only after two whole multi-byte characters.
TEST(IsUtf8Word, ACutCharacterCountsOnlyAfterTwoWholeOnes) {
    EXPECT_TRUE(IsUtf8Word("日本"));
    EXPECT_TRUE(IsUtf8Word("\xC3\xBD")) << "one whole character, nothing cut";
    EXPECT_TRUE(IsUtf8Word("日本\xE8\xAA")) << "two whole, then a cut one";
    EXPECT_FALSE(IsUtf8Word("日\xE6\x9C")) << "one whole, then a cut one";
    EXPECT_FALSE(IsUtf8Word("\xC3\xBD\xE7\xB8")) << "ﾃｽ縺 in code page 932";
    EXPECT_FALSE(IsUtf8Word("日\xE6\x9C本")) << "a cut character inside the word";
    EXPECT_FALSE(IsUtf8Word("ascii"));
    EXPECT_FALSE(IsUtf8Word("\x83\x58"));
}

TEST(ForEachRun, UnicodeWordsAndTheCodePage932StretchesBetweenThemCoverTheLine) {
    const std::string kana = Utf8ToCp932("ｶﾅ");
    EXPECT_EQ(Runs("0: URL:http://a/日本/x TITLE:" + kana + " KEY:Café"),
              (std::vector<std::string>{"932:0: URL:http://a/", "utf8:日本",
                                        "932:/x TITLE:" + kana + " KEY:", "utf8:Café"}));
    EXPECT_EQ(Runs("\x83\x58\x83\x5e"), (std::vector<std::string>{"932:\x83\x58\x83\x5e"}))
        << "a trail byte 0x58 (X) does not end a word";
    EXPECT_EQ(Runs(""), std::vector<std::string>{});
}

TEST(ReadAsUtf8, KeepsUtf8WordsAndConvertsTheCodePage932Between) {
    EXPECT_EQ(ReadAsUtf8("\x93\xfa\x96\x7b.example"), "日本.example");
    EXPECT_EQ(ReadAsUtf8("日本." + Utf8ToCp932("会社") + ".example"), "日本.会社.example");
    EXPECT_EQ(ReadAsUtf8("長いタイト\xE3\x83"), "長いタイト\xE3\x83")
        << "a UTF-8 word keeps its bytes, a cut last character too";
    EXPECT_EQ(ReadAsUtf8("plain.example"), "plain.example");
    EXPECT_EQ(ReadAsUtf8("\x81\x20.example"), std::nullopt) << "a lead byte without its trail";
    EXPECT_EQ(ReadAsUtf8("a\xff"), std::nullopt);
}
