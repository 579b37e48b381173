// Code page 932 to and from UTF-8.
#include "display/cp932.h"

#include <gtest/gtest.h>

namespace {

std::string Decode(const std::string& bytes) {
    return Cp932ToUtf8(bytes.data(), bytes.size());
}

const std::string kStartPageBytes = "\x83\x58\x83\x5e\x81\x5b\x83\x67\x83\x79\x81\x5b\x83\x57";
const std::string kReplacement = "\uFFFD";

} // namespace

TEST(Cp932, DecodesAsciiKanaAndKanji) {
    EXPECT_EQ(Decode("URL:http://a/ KEY:" + kStartPageBytes), "URL:http://a/ KEY:スタートページ");
    EXPECT_EQ(Decode("\xb1\xdd"), "ｱﾝ");
    EXPECT_EQ(Decode("\x8f\x49\x97\xb9"), "終了");
    EXPECT_EQ(Decode(""), "");
    EXPECT_EQ(Cp932ToUtf8(nullptr, 5), "");
}

TEST(Cp932, BytesThatDoNotDecodeBecomeReplacementsAndDecodingGoesOn) {
    EXPECT_EQ(Decode(std::string("A\xff") + "B"), "A" + kReplacement + "B");
    EXPECT_EQ(Decode("\x82 x"), kReplacement + " x") << "a lead byte with a bad trail";
    EXPECT_EQ(Decode("ok\x82"), "ok" + kReplacement) << "a truncated character";
    EXPECT_EQ(Decode("\x80\xa0\xfd"), kReplacement + kReplacement + kReplacement);
    EXPECT_EQ(Decode(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Cp932, LongTextDecodesWhole) {
    std::string bytes, text;
    for (int i = 0; i < 1000; ++i) {
        bytes += kStartPageBytes;
        text += "スタートページ";
    }
    EXPECT_EQ(Decode(bytes), text);
}

TEST(Cp932, RoundTrips) {
    for (const std::string text : {"http://example.com/?q=1", "スタートページ", "解析スタート",
                                   "ｱｲｳ and 終了してもよろしいですか", ""}) {
        const std::string bytes = Utf8ToCp932(text, 255);
        EXPECT_EQ(Decode(bytes), text);
    }
    EXPECT_EQ(Utf8ToCp932("スタートページ", 255), kStartPageBytes);
}

TEST(Cp932, ByteLimitNeverSplitsACharacter) {
    std::string text;
    for (int i = 0; i < 128; ++i)
        text += "あ";
    const std::string bytes = Utf8ToCp932(text, 255);
    EXPECT_EQ(bytes.size(), 254u);
    EXPECT_EQ(Decode(bytes), text.substr(0, 127 * std::string("あ").size()));
    EXPECT_EQ(Utf8ToCp932("aあ", 2), "a");
    EXPECT_EQ(Utf8ToCp932("abc", 0), "");
}

TEST(Cp932, WhatCodePage932LacksBecomesAQuestionMark) {
    EXPECT_EQ(Utf8ToCp932("a\U0001F600b", 255), "a?b");
    EXPECT_EQ(Utf8ToCp932(std::string("a\xff") + "b", 255), "a?b") << "not UTF-8";
    EXPECT_EQ(Utf8ToCp932("a\xe3\x81", 255), "a?") << "a truncated UTF-8 character";
    EXPECT_EQ(Utf8ToCp932(std::string("\xe3") + "ab", 255), "?ab")
        << "a broken sequence costs one byte";
    EXPECT_EQ(Utf8ToCp932("\U0001F600", 0), "");
}
