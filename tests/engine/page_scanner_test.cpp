// Unit tests of the page scanner: pattern counting and bounds, the title tag
// rules, and which links HarvestLinks accepts with which URL and KEY.
#include "engine/page_scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace torvesk::engine;

namespace {

class PageScannerTest : public ::testing::Test {
protected:
    // Puts page into the buffer as a fetch would: its bytes, then a zero.
    void SetPage(const std::string& page) {
        ASSERT_LE(page.size(), static_cast<std::size_t>(kPageCapacity));
        buffer_.Fill(page);
    }

    Position Find(const char* pattern, int length, int n, Position start) const {
        return buffer_.FindPattern(pattern, length, n, start);
    }

    std::string Title() const {
        char TITLE[kTextCapacity];
        buffer_.ExtractTitle(TITLE);
        return TITLE;
    }

    const HarvestedLinks& Links() {
        buffer_.HarvestLinks(links_);
        return links_;
    }

    PageBuffer buffer_;

private:
    HarvestedLinks links_;
};

TEST_F(PageScannerTest, EmptyPageHasNothing) {
    EXPECT_EQ(Find("a", 1, 1, 0), kNotFound);
    EXPECT_EQ(Title(), "");
    EXPECT_EQ(Links().count, 0);
}

// A fresh buffer is all zero; a fill writes its bytes and one terminator and
// leaves whatever lies further on.
TEST_F(PageScannerTest, FreshBufferIsAllZero) {
    const char* bytes = buffer_.Bytes();
    EXPECT_EQ(std::count(bytes, bytes + kPageCapacity + 1, '\0'), kPageCapacity + 1);
}

TEST_F(PageScannerTest, ShortFillLeavesTheLongerPageBehindItsTerminator) {
    buffer_.Fill("abcdefgh");
    buffer_.Fill("xyz");
    EXPECT_EQ(std::string(buffer_.Bytes(), 9), std::string("xyz\0efgh\0", 9));
    EXPECT_EQ(Find("e", 1, 1, 0), kNotFound);
    EXPECT_EQ(Find("fg", 2, 1, 4), 5) << "a start past the terminator reads the leftovers";
    buffer_.Fill("");
    EXPECT_EQ(buffer_.Bytes()[0], '\0');
    EXPECT_EQ(buffer_.Bytes()[1], 'y');
}

TEST_F(PageScannerTest, FillKeepsTheFirstMillionBytesAndTerminatesThem) {
    std::string body(kPageCapacity + 10, 'a');
    body[kPageCapacity - 1] = 'z';
    body[kPageCapacity] = 'q';
    buffer_.Fill(body);
    EXPECT_EQ(buffer_.Bytes()[kPageCapacity - 1], 'z');
    EXPECT_EQ(buffer_.Bytes()[kPageCapacity], '\0');
    // A body of exactly the capacity is terminated at the same place.
    buffer_.Fill(std::string(kPageCapacity, 'b'));
    EXPECT_EQ(buffer_.Bytes()[kPageCapacity - 1], 'b');
    EXPECT_EQ(buffer_.Bytes()[kPageCapacity], '\0');
}

TEST_F(PageScannerTest, OverlappingOccurrencesAllCount) {
    SetPage("aaaa");
    EXPECT_EQ(Find("aa", 2, 1, 0), 0);
    EXPECT_EQ(Find("aa", 2, 2, 0), 1);
    EXPECT_EQ(Find("aa", 2, 3, 0), 2);
    EXPECT_EQ(Find("aa", 2, 4, 0), kNotFound);
    EXPECT_EQ(Find("aa", 2, 1, 2), 2);
    EXPECT_EQ(Find("aa", 2, 1, 3), kNotFound);
}

// Two-byte patterns are searched a block at a time: a pair is found
// wherever it lies against the blocks, as the last pair, split by a
// block's end, or after a half pair (the first byte alone) just before.
TEST_F(PageScannerTest, PairFoundAtEveryOffsetAroundTheBlocks) {
    for (int at = 0; at < 200; ++at) {
        std::string page(at + 3, '/');
        page.replace(at, 2, "/\"");
        SetPage(page);
        EXPECT_EQ(Find("/\"", 2, 1, 0), at) << "pair at " << at;
        EXPECT_EQ(Find("\"/", 2, 1, 0), at + 1) << "pair at " << at;
        SetPage(page.substr(0, at + 1));
        EXPECT_EQ(Find("/\"", 2, 1, 0), kNotFound) << "half pair at " << at;
    }
}

TEST_F(PageScannerTest, ZeroByteEndsTheScan) {
    SetPage(std::string("xy\0ab", 5));
    EXPECT_EQ(Find("ab", 2, 1, 0), kNotFound);
    EXPECT_EQ(Find("y", 1, 1, 0), 1);
    // A start past the zero scans up to the next zero, as the byte walk does.
    EXPECT_EQ(Find("ab", 2, 1, 3), 3);
}

TEST_F(PageScannerTest, FullPageKeepsTheFixedBound) {
    std::string page(kPageCapacity, 'x');
    page.replace(kPageCapacity - 2, 2, "ab");
    SetPage(page);
    // A pattern of length m is only tried below kPageCapacity - m.
    EXPECT_EQ(Find("a", 1, 1, 0), kPageCapacity - 2);
    EXPECT_EQ(Find("b", 1, 1, 0), kNotFound);
    EXPECT_EQ(Find("xa", 2, 1, 0), kPageCapacity - 3);
    EXPECT_EQ(Find("ab", 2, 1, 0), kNotFound);
    EXPECT_EQ(Find("xxxxxxxa", 8, 1, kPageCapacity - 20), kPageCapacity - 9);
    EXPECT_EQ(Find("xxxxxxab", 8, 1, kPageCapacity - 20), kNotFound);
}

TEST_F(PageScannerTest, BadArgumentsFindNothing) {
    SetPage("aaaa");
    EXPECT_EQ(Find(nullptr, 2, 1, 0), kNotFound);
    EXPECT_EQ(Find("aa", 0, 1, 0), kNotFound);
    EXPECT_EQ(Find("aa", 2, 0, 0), kNotFound);
    EXPECT_EQ(Find("aa", 2, 1, -5), kNotFound);
    EXPECT_EQ(Find("aa", 2, 1, kPageCapacity + 7), kNotFound);
}

TEST_F(PageScannerTest, TitleTagPrecedence) {
    SetPage("<html><head><title>Home</title></head></html>");
    EXPECT_EQ(Title(), "Home");
    SetPage("<title>Home</title><p><Title>Mid</Title>");
    EXPECT_EQ(Title(), "Mid");
    SetPage("<title>Home</title><p><Title>Mid</Title><TITLE>Late</TITLE>");
    EXPECT_EQ(Title(), "Late");
    // The first spelling found is used even when its title is too long.
    SetPage("<title>Home</title><TITLE>" + std::string(201, 'L') + "</TITLE>");
    EXPECT_EQ(Title(), "");
    SetPage("<TITLE>no closing bracket");
    EXPECT_EQ(Title(), "");
    SetPage("<TITLE><");
    EXPECT_EQ(Title(), "");
}

TEST_F(PageScannerTest, TitleOf200BytesIsKeptAnd201Dropped) {
    std::string title(200, 'T');
    SetPage("<title>" + title + "</title>");
    EXPECT_EQ(Title(), title);
    SetPage("<title>" + title + "T</title>");
    EXPECT_EQ(Title(), "");
}

TEST_F(PageScannerTest, LinkEndingInSlash) {
    SetPage("<a href=\"http://example.com/\">Example</a>");
    const HarvestedLinks& links = Links();
    ASSERT_EQ(links.count, 1);
    EXPECT_STREQ(links.URL[0], "http://example.com/");
    EXPECT_STREQ(links.KEY[0], "Example");
}

TEST_F(PageScannerTest, SlashQuoteIsLookedForFirstAnywhereLater) {
    std::string html = "<a href=\"http://a.example/x.html#top\">A</a>";
    SetPage(html);
    ASSERT_EQ(Links().count, 1);
    EXPECT_STREQ(Links().URL[0], "http://a.example/x.html");
    EXPECT_STREQ(Links().KEY[0], "A");
    // A later slash-quote becomes the first link's end, past its ">".
    SetPage(html + "<a href=\"http://b.example/\">B</a>");
    ASSERT_EQ(Links().count, 1);
    EXPECT_STREQ(Links().URL[0], "http://b.example/");
}

TEST_F(PageScannerTest, HtmlIsLookedForBeforeHtm) {
    std::string htm = "<a href=\"http://a.example/x.htm?q=1\">A</a>";
    SetPage(htm);
    ASSERT_EQ(Links().count, 1);
    EXPECT_STREQ(Links().URL[0], "http://a.example/x.htm");
    SetPage(htm + "<a href=\"http://b.example/y.html\">B</a>");
    ASSERT_EQ(Links().count, 1);
    EXPECT_STREQ(Links().URL[0], "http://b.example/y.html");
}

TEST_F(PageScannerTest, UrlLimitIs200Bytes) {
    std::string url200 = "http://" + std::string(192, 'u') + "/";
    SetPage("\"" + url200 + "\">K<");
    ASSERT_EQ(Links().count, 1);
    EXPECT_EQ(std::string(Links().URL[0]), url200);
    std::string url201 = "http://" + std::string(193, 'u') + "/";
    SetPage("\"" + url201 + "\">K<");
    EXPECT_EQ(Links().count, 0);
}

TEST_F(PageScannerTest, KeyLimitIs200BytesAndLinkStaysAccepted) {
    std::string text(200, 'k');
    SetPage("<a href=\"http://e.example/\">" + text + "</a>");
    ASSERT_EQ(Links().count, 1);
    EXPECT_EQ(std::string(Links().KEY[0]), text);
    SetPage("<a href=\"http://e.example/\">" + text + "k</a>");
    ASSERT_EQ(Links().count, 1);
    EXPECT_STREQ(Links().URL[0], "http://e.example/");
    EXPECT_STREQ(Links().KEY[0], "");
}

TEST_F(PageScannerTest, LinkNeedsACloseBracketAtOrAfterItsEnd) {
    SetPage("\"http://a.example/\" no bracket");
    EXPECT_EQ(Links().count, 0);
    SetPage("\"http://a.example/\">text without an opening bracket");
    ASSERT_EQ(Links().count, 1);
    EXPECT_STREQ(Links().KEY[0], "");
}

TEST_F(PageScannerTest, OnlyTheFirst100LinkStartsAreExamined) {
    // Each rejected start has a ">" before the end marker the last link brings.
    std::string rejected;
    for (int i = 0; i < 99; ++i)
        rejected += "\"http://r>";
    std::string last = "\"http://z.example/\">Z<";
    SetPage(rejected + last);
    ASSERT_EQ(Links().count, 1);
    EXPECT_STREQ(Links().URL[0], "http://z.example/");
    SetPage(rejected + "\"http://r>" + last);
    EXPECT_EQ(Links().count, 0);
}

} // namespace
