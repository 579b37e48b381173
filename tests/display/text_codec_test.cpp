// The text codec: the screen's text is the decoding of text/, unit for unit,
// a character beyond the BMP included.
#include "display/text_codec.h"

#include "support/cp932_reference.h"

#include <gtest/gtest.h>

using namespace torvesk::display;

TEST(DecodeForScreen, ShowsUtf8AndCodePage932WordsOfALine) {
    EXPECT_EQ(DecodeForScreen("4: URL:http://a/日本/x.html TITLE:" + Utf8ToCp932("会社概要") +
                              " KEY:emoji \xF0\x9F\x98\x80!"),
              QString::fromUtf8("4: URL:http://a/日本/x.html TITLE:会社概要 KEY:emoji 😀!"));
    EXPECT_EQ(DecodeForScreen("bad \xff"), QString::fromUtf8("bad \uFFFD"));
    EXPECT_EQ(DecodeForScreen(""), QString());
}
