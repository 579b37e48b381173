// Unit tests of the page scanner: pattern counting and bounds, the title tag
// rules, and which links HarvestLinks accepts with which URL and KEY.
#include "page_scanner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class PageScannerTest : public ::testing::Test {
protected:
    void SetUp() override { ClearPageBuffer(); }

    // Puts page into the buffer as a fetch would: its bytes, then a zero.
    static void SetPage(const std::string& page) {
        ASSERT_LE(page.size(), static_cast<std::size_t>(kPageCapacity));
        std::memcpy(g_pageBuffer, page.data(), page.size());
        g_pageBuffer[page.size()] = '\0';
    }

    static std::string Title() {
        char TITLE[kTextCapacity];
        ExtractTitle(TITLE);
        return TITLE;
    }

    static const HarvestedLinks& Links() {
        static HarvestedLinks links;
        HarvestLinks(links);
        return links;
    }
};

TEST_F(PageScannerTest, EmptyPageHasNothing) {
    EXPECT_EQ(FindPattern("a", 1, 1, 0), kNotFound);
    EXPECT_EQ(Title(), "");
    EXPECT_EQ(Links().count, 0);
}

TEST_F(PageScannerTest, OverlappingOccurrencesAllCount) {
    SetPage("aaaa");
    EXPECT_EQ(FindPattern("aa", 2, 1, 0), 0);
    EXPECT_EQ(FindPattern("aa", 2, 2, 0), 1);
    EXPECT_EQ(FindPattern("aa", 2, 3, 0), 2);
    EXPECT_EQ(FindPattern("aa", 2, 4, 0), kNotFound);
    EXPECT_EQ(FindPattern("aa", 2, 1, 2), 2);
    EXPECT_EQ(FindPattern("aa", 2, 1, 3), kNotFound);
}

TEST_F(PageScannerTest, ZeroByteEndsTheScan) {
    SetPage(std::string("xy\0ab", 5));
    EXPECT_EQ(FindPattern("ab", 2, 1, 0), kNotFound);
    EXPECT_EQ(FindPattern("y", 1, 1, 0), 1);
    // A start past the zero scans up to the next zero, as the byte walk does.
    EXPECT_EQ(FindPattern("ab", 2, 1, 3), 3);
}

TEST_F(PageScannerTest, FullPageKeepsTheFixedBound) {
    std::string page(kPageCapacity, 'x');
    page.replace(kPageCapacity - 2, 2, "ab");
    SetPage(page);
    // A pattern of length m is only tried below kPageCapacity - m.
    EXPECT_EQ(FindPattern("a", 1, 1, 0), kPageCapacity - 2);
    EXPECT_EQ(FindPattern("b", 1, 1, 0), kNotFound);
    EXPECT_EQ(FindPattern("xa", 2, 1, 0), kPageCapacity - 3);
    EXPECT_EQ(FindPattern("ab", 2, 1, 0), kNotFound);
    EXPECT_EQ(FindPattern("xxxxxxxa", 8, 1, kPageCapacity - 20), kPageCapacity - 9);
    EXPECT_EQ(FindPattern("xxxxxxab", 8, 1, kPageCapacity - 20), kNotFound);
}

TEST_F(PageScannerTest, BadArgumentsFindNothing) {
    SetPage("aaaa");
    EXPECT_EQ(FindPattern(nullptr, 2, 1, 0), kNotFound);
    EXPECT_EQ(FindPattern("aa", 0, 1, 0), kNotFound);
    EXPECT_EQ(FindPattern("aa", 2, 0, 0), kNotFound);
    EXPECT_EQ(FindPattern("aa", 2, 1, -5), kNotFound);
    EXPECT_EQ(FindPattern("aa", 2, 1, kPageCapacity + 7), kNotFound);
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
