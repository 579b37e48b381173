// The start dialog's byte keeping: the bytes stored after the user edited
// the shown text.
#include "shell/edited_text.h"

#include "display/text_codec.h"
#include "engine/crawler.h"
#include "support/cp932_reference.h"

#include <gtest/gtest.h>

using namespace torvesk::engine;
using namespace torvesk::display;
using namespace torvesk::shell;

namespace {

const std::string kStartPage = kStartPageKey;

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

std::string Sjis(const std::string& utf8) {
    return Utf8ToCp932(utf8);
}

} // namespace

TEST(EncodeEditedText, UnchangedTextGivesBackTheOriginalBytes) {
    const std::string originals[] = {
        "http://a/" + kStartPage,
        "http://a/日本語/\xF0\x9F\x98\x80 Café", // UTF-8, some of it beyond code page 932
        "bad \xff\x82 bytes \x80",               // shown as U+FFFD
        "TITLE:長いタイト\xe3\x83",              // a cut UTF-8 character
        "",
    };
    for (const std::string& original : originals)
        EXPECT_EQ(EncodeEditedText(original, DecodeForScreen(original), 255), original);
}

TEST(EncodeEditedText, UnchangedEndsKeepTheirBytesAndTypedTextIsCodePage932) {
    const std::string original = "http://a/\xff/" + kStartPage;
    EXPECT_EQ(EncodeEditedText(original, Q("http://a/\uFFFD/x/スタートページ"), 255),
              "http://a/\xff/x/" + kStartPage);
    EXPECT_EQ(EncodeEditedText(original, Q("http://a/\uFFFD/スタト"), 255),
              "http://a/\xff/" + Sjis("スタト"))
        << "deleting";
    EXPECT_EQ(EncodeEditedText("http://a/", Q("http://a/解析スタート"), 255),
              "http://a/" + Sjis("解析スタート"));
}

TEST(EncodeEditedText, TypedCharactersCodePage932CannotShowAreUtf8) {
    EXPECT_EQ(EncodeEditedText("a", Q("a\U0001F600é"), 255), "a\xF0\x9F\x98\x80\xC3\xA9");
    EXPECT_EQ(EncodeEditedText("a", Q("a¥"), 255), "a\xC2\xA5") << "not 0x5C, which shows as \\";
    EXPECT_EQ(EncodeEditedText("http://a/日本", Q("http://a/日本語"), 255), "http://a/日本語")
        << "inside a UTF-8 word, code page 932 would turn the word into mojibake";
}

TEST(EncodeEditedText, ASurrogatePairIsNeverSplit) {
    EXPECT_EQ(EncodeEditedText("\xF0\x9F\x98\x80", Q("\U0001F601"), 255), "\xF0\x9F\x98\x81");
    EXPECT_EQ(EncodeEditedText("\xF0\x9F\x98\x80z", Q("\U0001F601z"), 255), "\xF0\x9F\x98\x81z");
    EXPECT_EQ(EncodeEditedText("\xF0\x9F\x98\x80", Q("\U0001FA00"), 255), "\xF0\x9F\xA8\x80")
        << "the same low surrogate";
}

TEST(EncodeEditedText, ByteLimitEndsBeforeTheFirstCharacterThatDoesNotFit) {
    QString many;
    for (int i = 0; i < 128; ++i)
        many += Q("あ");
    EXPECT_EQ(EncodeEditedText("", many, 255).size(), 254u);
    EXPECT_EQ(EncodeEditedText("", Q("aあ"), 2), "a");
    EXPECT_EQ(EncodeEditedText("x\xe6\x97\xa5", Q("x日"), 3), "x") << "an original character";
    EXPECT_EQ(EncodeEditedText("ab" + kStartPage, Q("Zスタートページ"), 4), "Z" + Sjis("ス"))
        << "the unchanged end after typed text";
    EXPECT_EQ(EncodeEditedText("TITLE:長いタイト\xe3\x83", Q("TITLE:長いタイト\uFFFD"), 22),
              "TITLE:長いタイト")
        << "a cut character's bytes go together";
}
