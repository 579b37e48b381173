// The text codec: code page 932 on its own, and results lines that mix it
// with UTF-8.
#include "display/text_codec.h"

#include "support/cp932_reference.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// "スタートページ" (start page) in code page 932.
const std::string kStartPageBytes = "\x83\x58\x83\x5e\x81\x5b\x83\x67\x83\x79\x81\x5b\x83\x57";
const std::string kReplacement = "\uFFFD";

// How every text was shown before UTF-8 was known.
QString OldScreenText(const std::string& bytes) {
    return QString::fromStdString(Cp932ToUtf8(bytes));
}

std::string Sjis(const std::string& utf8) {
    return Utf8ToCp932(utf8);
}

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace

TEST(DecodeForScreen, CodePage932AsciiKanaAndKanji) {
    EXPECT_EQ(DecodeForScreen("URL:http://a/ KEY:" + kStartPageBytes),
              Q("URL:http://a/ KEY:スタートページ"));
    EXPECT_EQ(DecodeForScreen("\xb1\xdd"), Q("ｱﾝ"));
    EXPECT_EQ(DecodeForScreen("\x8f\x49\x97\xb9"), Q("終了"));
}

TEST(DecodeForScreen, BytesThatDoNotDecodeBecomeReplacementsAndDecodingGoesOn) {
    EXPECT_EQ(DecodeForScreen(std::string("A\xff") + "B"), Q("A" + kReplacement + "B"));
    EXPECT_EQ(DecodeForScreen("\x82 x"), Q(kReplacement + " x")) << "a lead byte, a bad trail";
    EXPECT_EQ(DecodeForScreen("ok\x82"), Q("ok" + kReplacement)) << "a truncated character";
    EXPECT_EQ(DecodeForScreen("\x80\xa0\xfd"), Q(kReplacement + kReplacement + kReplacement));
}

TEST(DecodeForScreen, CodePage932TextShowsExactlyAsBefore) {
    const std::string texts[] = {
        kStartPageBytes,
        "\x8f\x49\x97\xb9\x82\xb5\x82\xc4\x82\xe0\x82\xe6\x82\xeb\x82\xb5\x82\xa2\x82\xc5\x82\xb7"
        "\x82\xa9",         // the quit question
        "\x8a\x6d\x94\x46", // its caption
        Sjis("ニュース一覧（２０２４年）"),
        Sjis("ソフト表示の機能予定ミ：ﾊﾝｶｸ ｶﾅ"), // 0x5C and 0x7E as trail bytes
        Sjis("縺アイ"), // 0xE3 0x81 0x83 looks like UTF-8, but its word does not
        Sjis("ﾃｽ縺"),   // one UTF-8 character and a cut one are no sign of UTF-8
        "0: URL:http://a/ TITLE:" + Sjis("会社概要 | Example") + " KEY:" + kStartPageBytes,
        "bad \xff\x82 bytes \x80\xa0\xfd, a lone lead \x82",
        "overlong \xc0\x80 \xe0\x80\x80, surrogate \xed\xa0\x80, past the end \xf4\x90\x80\x80",
    };
    for (const std::string& bytes : texts)
        EXPECT_EQ(DecodeForScreen(bytes), OldScreenText(bytes)) << bytes;
    std::string ascii;
    for (int byte = 1; byte < 0x80; ++byte)
        ascii += static_cast<char>(byte);
    EXPECT_EQ(DecodeForScreen(ascii), OldScreenText(ascii));
}

// Every pair of bytes, alone, that is not one UTF-8 character.
TEST(DecodeForScreen, EveryTwoByteSequenceThatIsNotUtf8ShowsAsBefore) {
    for (int first = 0x80; first < 0x100; ++first)
        for (int second = 0; second < 0x100; ++second) {
            if (first >= 0xC2 && first <= 0xDF && second >= 0x80 && second <= 0xBF)
                continue;
            const std::string bytes{static_cast<char>(first), static_cast<char>(second)};
            ASSERT_EQ(DecodeForScreen(bytes), OldScreenText(bytes)) << first << " " << second;
        }
}

// Words that open with a double-byte character led by 0x81-0x9F, a UTF-8
// continuation byte, are never UTF-8, whatever follows in them.
TEST(DecodeForScreen, RandomCodePage932WordsShowAsBefore) {
    std::mt19937 random(932);
    const std::string delimiters = " /:.0?=&\x7f";
    const auto wordByte = [&random](int low, int high) { // never 0x7F, which ends a word
        const int byte = std::uniform_int_distribution(low, high)(random);
        return byte == 0x7F ? 'x' : static_cast<char>(byte);
    };
    for (int round = 0; round < 2000; ++round) {
        std::string bytes;
        for (int word = 0; word < 6; ++word) {
            bytes += delimiters[random() % delimiters.size()];
            bytes += {wordByte(0x81, 0x9F), wordByte(0x40, 0xFC)};
            for (int more = random() % 8; more > 0; --more)
                bytes += wordByte(0x40, 0xFF);
        }
        ASSERT_EQ(DecodeForScreen(bytes), OldScreenText(bytes)) << bytes;
    }
}

TEST(DecodeForScreen, Utf8AndCodePage932FieldsShareALine) {
    EXPECT_EQ(DecodeForScreen("3: URL:http://a/b.html TITLE:日本語のページ KEY:" + kStartPageBytes),
              Q("3: URL:http://a/b.html TITLE:日本語のページ KEY:スタートページ"));
    EXPECT_EQ(DecodeForScreen("4: URL:http://a/日本/x.html TITLE:" + Sjis("会社概要") +
                              " KEY:Café Müller ｶﾅ"),
              Q("4: URL:http://a/日本/x.html TITLE:会社概要 KEY:Café Müller ｶﾅ"));
    EXPECT_EQ(DecodeForScreen("emoji \xF0\x9F\x98\x80!"), Q("emoji \U0001F600!"));
}

TEST(DecodeForScreen, Utf8FieldCutInsideACharacterKeepsItsWords) {
    const std::string title = "長いタイトル";
    const std::string cut = title.substr(0, title.size() - 1);
    EXPECT_EQ(DecodeForScreen("TITLE:" + cut + " KEY:" + kStartPageBytes),
              Q("TITLE:長いタイト" + kReplacement + " KEY:スタートページ"));
    EXPECT_EQ(DecodeForScreen("x " + cut.substr(0, 4)), OldScreenText("x " + cut.substr(0, 4)))
        << "one whole character before the cut is not enough";
}
