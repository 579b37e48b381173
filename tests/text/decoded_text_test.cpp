// The decoding of raw bytes for the screen and the dialog: code page 932 on
// its own, lines that mix it with UTF-8, and the bytes behind each unit.
#include "text/cp932_decoder.h"
#include "text/decoded_text.h"

#include "support/cp932_reference.h"

#include <gtest/gtest.h>

#include <random>

using namespace torvesk::text;

namespace {

// "スタートページ" (start page) in code page 932.
const std::string kStartPageBytes = "\x83\x58\x83\x5e\x81\x5b\x83\x67\x83\x79\x81\x5b\x83\x57";

// The screen's text; the sources' tests check DecodeWithSources's own.
std::u16string Decoded(const std::string& bytes) {
    return DecodeText(bytes);
}

// How every text was shown before UTF-8 was known.
std::u16string OldScreenText(const std::string& bytes) {
    return Cp932ToUtf16(bytes);
}

std::string Sjis(const std::string& utf8) {
    return Utf8ToCp932(utf8);
}

// For code page 932 text: the units behind each source are what its bytes
// decode to alone.
void ExpectEachSourceDecodesToItsUnits(const std::string& bytes, const DecodedText& decoded) {
    for (std::size_t unit = 0; unit < decoded.sources.size();) {
        const ByteRange source = decoded.sources[unit];
        std::size_t end = unit;
        while (end < decoded.sources.size() && decoded.sources[end] == source)
            ++end;
        EXPECT_EQ(decoded.text.substr(unit, end - unit),
                  OldScreenText(std::string(Slice(bytes, source))))
            << bytes << " at " << source.begin;
        unit = end;
    }
}

} // namespace

TEST(DecodeWithSources, CodePage932AsciiKanaAndKanji) {
    EXPECT_EQ(Decoded("URL:http://a/ KEY:" + kStartPageBytes), u"URL:http://a/ KEY:スタートページ");
    EXPECT_EQ(Decoded("\xb1\xdd"), u"ｱﾝ");
    EXPECT_EQ(Decoded("\x8f\x49\x97\xb9"), u"終了");
}

TEST(DecodeWithSources, BytesThatDoNotDecodeBecomeReplacementsAndDecodingGoesOn) {
    EXPECT_EQ(Decoded(std::string("A\xff") + "B"), u"A\uFFFDB");
    EXPECT_EQ(Decoded("\x82 x"), u"\uFFFD x") << "a lead byte, a bad trail";
    EXPECT_EQ(Decoded("ok\x82"), u"ok\uFFFD") << "a truncated character";
    EXPECT_EQ(Decoded("\x80\xa0\xfd"), u"\uFFFD\uFFFD\uFFFD");
}

TEST(DecodeWithSources, CodePage932TextShowsExactlyAsBefore) {
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
        EXPECT_EQ(Decoded(bytes), OldScreenText(bytes)) << bytes;
    std::string ascii;
    for (int byte = 1; byte < 0x80; ++byte)
        ascii += static_cast<char>(byte);
    EXPECT_EQ(Decoded(ascii), OldScreenText(ascii));
}

// Every pair of bytes, alone, that is not one UTF-8 character: its text and
// the bytes behind each of its units.
TEST(DecodeWithSources, EveryTwoByteSequenceThatIsNotUtf8ShowsAsBeforeFromItsOwnBytes) {
    for (int first = 0x80; first < 0x100; ++first)
        for (int second = 0; second < 0x100; ++second) {
            if (first >= 0xC2 && first <= 0xDF && second >= 0x80 && second <= 0xBF)
                continue;
            const std::string bytes{static_cast<char>(first), static_cast<char>(second)};
            const DecodedText decoded = DecodeWithSources(bytes);
            ASSERT_EQ(decoded.text, OldScreenText(bytes)) << first << " " << second;
            ExpectEachSourceDecodesToItsUnits(bytes, decoded);
            if (testing::Test::HasFailure())
                return;
        }
}

// Words that open with a double-byte character led by 0x81-0x9F, a UTF-8
// continuation byte, are never UTF-8, whatever follows in them.
TEST(DecodeWithSources, RandomCodePage932WordsShowAsBefore) {
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
        ASSERT_EQ(Decoded(bytes), OldScreenText(bytes)) << bytes;
    }
}

TEST(DecodeWithSources, Utf8AndCodePage932FieldsShareALine) {
    EXPECT_EQ(Decoded("3: URL:http://a/b.html TITLE:日本語のページ KEY:" + kStartPageBytes),
              u"3: URL:http://a/b.html TITLE:日本語のページ KEY:スタートページ");
    EXPECT_EQ(
        Decoded("4: URL:http://a/日本/x.html TITLE:" + Sjis("会社概要") + " KEY:Café Müller ｶﾅ"),
        u"4: URL:http://a/日本/x.html TITLE:会社概要 KEY:Café Müller ｶﾅ");
}

TEST(DecodeWithSources, Utf8FieldCutInsideACharacterKeepsItsWords) {
    const std::string title = "長いタイトル";
    const std::string cut = title.substr(0, title.size() - 1);
    EXPECT_EQ(Decoded("TITLE:" + cut + " KEY:" + kStartPageBytes),
              u"TITLE:長いタイト\uFFFD KEY:スタートページ");
    EXPECT_EQ(Decoded("x " + cut.substr(0, 4)), OldScreenText("x " + cut.substr(0, 4)))
        << "one whole character before the cut is not enough";
}

TEST(DecodeWithSources, EachUnitNamesTheBytesOfItsCharacter) {
    // "a", "ス" in code page 932, a byte that does not decode, "日" in UTF-8, an emoji.
    const std::string bytes = "a\x83\x58\xff \xe6\x97\xa5\xF0\x9F\x98\x80";
    const DecodedText decoded = DecodeWithSources(bytes);
    EXPECT_EQ(decoded.text, u"aス\uFFFD 日\U0001F600");
    const std::vector<ByteRange> expected = {{0, 1}, {1, 3},  {3, 4}, {4, 5},
                                             {5, 8}, {8, 12}, {8, 12}};
    EXPECT_EQ(decoded.sources, expected);
}

TEST(DecodeWithSources, RangesCoverEveryByteInOrder) {
    std::mt19937 random(65001);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(random() % 24, '\0');
        for (char& byte : bytes)
            byte =
                static_cast<char>(random() % 3 == 0 ? 'A' + random() % 4 : 0x80 + random() % 0x80);
        const DecodedText decoded = DecodeWithSources(bytes);
        ASSERT_EQ(decoded.sources.size(), decoded.text.size());
        ByteRange previous;
        for (const ByteRange& range : decoded.sources) {
            ASSERT_LT(range.begin, range.end) << bytes;
            ASSERT_TRUE(range.begin == previous.end || range == previous) << bytes;
            previous = range;
        }
        ASSERT_EQ(previous.end, bytes.size()) << bytes;
    }
}

// A stretch in the middle of a line: only its bytes, with sources in the
// line's offsets, after what was decoded before.
TEST(Cp932Decoder, AppendsItsStretchWithSourcesInTheWholeLine) {
    const std::string line = "ab\x83\x58\xb1\xff" + kStartPageBytes;
    DecodedText decoded;
    decoded.Append(u'>', {0, 0});
    Cp932Decoder decoder;
    decoder.Decode(line, {2, 6}, decoded);
    EXPECT_EQ(decoded.text, u">スｱ\uFFFD");
    const std::vector<ByteRange> expected = {{0, 0}, {2, 4}, {4, 5}, {5, 6}};
    EXPECT_EQ(decoded.sources, expected);
}
