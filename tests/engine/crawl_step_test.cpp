// Crawl steps end to end against a site on 127.0.0.1: what the results
// screen shows, which pages are visited in which order, and what URL.csv
// holds afterwards.
#include "canvas.h"
#include "crawl_state.h"
#include "crawl_step.h"
#include "link_table.h"
#include "page_scanner.h"
#include "window_base.h"

#include "support/csv_reader.h"
#include "support/temp_dir.h"
#include "support/test_site.h"

#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

struct CountingWindow : PlatformWindow {
    void requestRepaint() override { ++repaints; }
    int repaints = 0;
};

// A port on 127.0.0.1 that nothing listens on.
int ClosedPort() {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    close(s);
    return ntohs(address.sin_port);
}

// The generator, written out again so the expected order of visits does not
// come from the code under test.
class ModelRandom {
public:
    explicit ModelRandom(std::uint32_t seed) : state_(seed) {}
    int Next() {
        state_ = state_ * 214013u + 2531011u;
        return (state_ >> 16) & 0x7fff;
    }

private:
    std::uint32_t state_;
};

class CrawlTest : public ::testing::Test {
protected:
    static constexpr std::uint32_t kSeed = 20261207;

    void SetUp() override {
        ResetCrawlState();
        ClearPageBuffer();
        if (!g_canvas.BackBuffer())
            g_canvas.Init(&window_, kCanvasWidth, kCanvasHeight);
        g_canvas.ClearBlack();
        CrawlInitSeeded(kSeed);
    }

    void StartAt(const std::string& url) {
        std::snprintf(g_crawlState.currentUrl, kUrlCapacity, "%s", url.c_str());
        StartCrawl(&window_);
    }

    // Ticks until the crawl is idle again; returns the number of steps run.
    int TickUntilIdle(int limit = 500) {
        int steps = 0;
        for (; steps < limit && g_crawlState.stepDone == 1; ++steps)
            CrawlTick(&window_);
        return steps;
    }

    // The screen must equal a canvas on which exactly these lines were drawn.
    void ExpectScreenShows(const std::vector<std::string>& lines) {
        static Canvas reference;
        if (!reference.BackBuffer())
            reference.Init(nullptr, kCanvasWidth, kCanvasHeight);
        reference.ClearBlack();
        reference.SetTextStyle(8, 255, 255, 0);
        for (std::size_t row = 0; row < lines.size(); ++row)
            reference.PutText(10, int(row) * 8 + 10, lines[row].c_str());
        EXPECT_TRUE(*g_canvas.BackBuffer() == *reference.BackBuffer())
            << "screen differs from the expected " << lines.size() << " lines";
    }

    std::vector<CsvRecord> Records() const { return ParseCsv(ReadWholeFile("URL.csv")); }

    TempDir dir_;
    WorkingDirectory inDir_{dir_.path()};
    CountingWindow window_;
    TestSite site_;
};

TEST_F(CrawlTest, StartShowsCountZeroAndTheNextTickShowsTwo) {
    site_.AddPage("/", "Root", {{"/a/", "A"}, {"/b/", "B"}, {"/c/", "C"}});
    for (const char* page : {"/a/", "/b/", "/c/"})
        site_.AddPage(page, std::string("Page ") + page, {});

    StartAt(site_.Url("/"));
    const std::string first = "0: URL:" + site_.Url("/") + " TITLE:Root KEY:" + kStartPageKey;
    ExpectScreenShows({first});
    EXPECT_EQ(g_linkTable.count, 3);
    EXPECT_GT(window_.repaints, 0);

    CrawlTick(&window_);
    const std::string visited = site_.RequestedPaths().back();
    const std::string text(1, char(std::toupper(visited[1])));
    ExpectScreenShows(
        {first, "2: URL:" + site_.Url(visited) + " TITLE:Page " + visited + " KEY:" + text});
    EXPECT_EQ(g_crawlState.currentUrl, site_.Url(visited));
    ASSERT_EQ(Records().size(), 2u);
    EXPECT_EQ(Records()[1], (CsvRecord{site_.Url(visited), "Page " + visited, text}));
}

TEST_F(CrawlTest, VisitsFollowTheShuffledTableForAFixedSeed) {
    const std::map<std::string, std::vector<std::string>> links = {
        {"/", {"/a/", "/b/", "/c/", "/d/"}},
        {"/a/", {"/b/", "/c/", "/e/"}},
        {"/b/", {"/c/", "/d/"}},
        {"/c/", {"/e/"}},
        {"/d/", {"/e/"}},
        {"/e/", {}}};
    for (const auto& [page, targets] : links) {
        std::vector<SiteLink> siteLinks;
        for (const std::string& target : targets)
            siteLinks.push_back({target, "to" + target});
        site_.AddPage(page, "T" + page, siteLinks);
    }

    StartAt(site_.Url("/"));
    TickUntilIdle();

    // The table as a plain vector: shuffle, remove repeats, pop the top.
    ModelRandom random(kSeed);
    std::vector<std::string> table = links.at("/"), expected = {"/"};
    while (expected.size() < 1000) { // the links form no cycle: the crawl ends
        for (std::size_t i = 0; i + 1 < table.size(); ++i)
            for (std::size_t j = i + 1; j < table.size(); ++j)
                if (random.Next() % 10 == 1)
                    std::swap(table[i], table[j]);
        for (std::size_t i = 0; i + 1 < table.size(); ++i)
            for (std::size_t j = i + 1; j < table.size(); ++j)
                if (table[i] == table[j]) {
                    std::swap(table[j], table.back());
                    table.pop_back();
                }
        if (table.empty())
            break;
        std::string next = table.back();
        table.pop_back();
        expected.push_back(next);
        table.insert(table.end(), links.at(next).begin(), links.at(next).end());
    }
    EXPECT_EQ(site_.RequestedPaths(), expected);
    std::vector<CsvRecord> records = Records();
    ASSERT_EQ(records.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(records[i][0], site_.Url(expected[i])) << "record " << i;
}

TEST_F(CrawlTest, EmptyTableLeavesTheCrawlIdleUntilTheNextStart) {
    site_.AddPage("/", "Root", {{"/leaf/", "Leaf"}});
    site_.AddPage("/leaf/", "Leaf", {});
    StartAt(site_.Url("/"));
    EXPECT_EQ(TickUntilIdle(), 2) << "one step, then one tick that finds the table empty";

    const QImage screen = *g_canvas.BackBuffer();
    const std::size_t requests = site_.RequestedPaths().size();
    for (int i = 0; i < 5; ++i)
        CrawlTick(&window_);
    EXPECT_EQ(site_.RequestedPaths().size(), requests);
    EXPECT_TRUE(screen == *g_canvas.BackBuffer());
    EXPECT_EQ(g_crawlState.row, 2);

    StartAt(site_.Url("/leaf/"));
    const std::string leaf = site_.Url("/leaf/");
    ExpectScreenShows({"0: URL:" + site_.Url("/") + " TITLE:Root KEY:" + kStartPageKey,
                       "0: URL:" + leaf + " TITLE:Leaf KEY:Leaf",
                       "0: URL:" + leaf + " TITLE:Leaf KEY:" + kStartPageKey});
}

TEST_F(CrawlTest, PageReachedThroughTwoLinksIsRecordedTwice) {
    site_.AddPage("/", "Root", {{"/a/", "from root"}});
    site_.AddPage("/a/", "A", {{"/b/", "from a"}});
    site_.AddPage("/b/", "B", {{"/a/", "from b"}});
    StartAt(site_.Url("/"));
    for (int i = 0; i < 3; ++i)
        CrawlTick(&window_);
    std::vector<CsvRecord> records = Records();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[1], (CsvRecord{site_.Url("/a/"), "A", "from root"}));
    EXPECT_EQ(records[3], (CsvRecord{site_.Url("/a/"), "A", "from b"}));
}

TEST_F(CrawlTest, UnreachablePageGetsAnEmptyTitleAndTheCrawlGoesOn) {
    const std::string closed = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/x/";
    site_.AddRaw("/", "<title>Root</title><a href=\"" + closed + "\">Closed</a>");
    StartAt(site_.Url("/"));
    CrawlTick(&window_);
    std::vector<CsvRecord> records = Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1], (CsvRecord{closed, "", "Closed"}));
    EXPECT_EQ(g_crawlState.stepDone, 1);
    EXPECT_EQ(g_crawlState.row, 2);
}

TEST_F(CrawlTest, EmptyUrlDrawsALineButWritesNoRecord) {
    StartAt("");
    ExpectScreenShows({std::string("0: URL: TITLE: KEY:") + kStartPageKey});
    EXPECT_FALSE(std::filesystem::exists("URL.csv"));
    EXPECT_EQ(g_crawlState.row, 1);
    EXPECT_EQ(g_crawlState.stepDone, 1);
}

TEST_F(CrawlTest, TheFiftySecondLineClearsTheScreenAndStartsAtTheTop) {
    const std::string line = std::string("0: URL: TITLE: KEY:") + kStartPageKey;
    for (int i = 0; i < 51; ++i)
        StartAt("");
    ExpectScreenShows(std::vector<std::string>(51, line));
    StartAt("");
    ExpectScreenShows({line});
    EXPECT_EQ(g_crawlState.row, 1);
}

TEST_F(CrawlTest, RecordsWithAwkwardTitlesAndLinkTextsReadBackAsThreeFields) {
    site_.AddRaw("/", "<title>Comma, \"quoted\"\nand a break</title>"
                      "<a href=\"" +
                          site_.Url("/a/") + "\">text, \"with\"\nbreak</a>");
    site_.AddPage("/a/", "Plain", {});
    StartAt(site_.Url("/"));
    CrawlTick(&window_);
    std::vector<CsvRecord> records = Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0],
              (CsvRecord{site_.Url("/"), "Comma, \"quoted\"\r\nand a break", kStartPageKey}));
    EXPECT_EQ(records[1], (CsvRecord{site_.Url("/a/"), "Plain", "text, \"with\"\r\nbreak"}));
}

TEST_F(CrawlTest, RecordsNeedingNoQuotesKeepThePlainFormat) {
    site_.AddPage("/", "Root 100%", {{"/a/", "%s%n"}});
    site_.AddPage("/a/", "A", {});
    StartAt(site_.Url("/"));
    CrawlTick(&window_);
    EXPECT_EQ(ReadWholeFile("URL.csv"), site_.Url("/") + ",Root 100%," + kStartPageKey + "\r\n" +
                                            site_.Url("/a/") + ",A,%s%n\r\n");
}

} // namespace
