// Crawl steps end to end against a site on 127.0.0.1, each fetched where
// the test runs it: the results lines, which pages are visited in which
// order, and what URL.csv holds afterwards.
#include "engine/crawler.h"

#include "support/blocking_step.h"
#include "support/csv_reader.h"
#include "support/temp_dir.h"
#include "support/test_site.h"
#include "support/written_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

using namespace torvesk::engine;

namespace {

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

    void SetUp() override { crawler_.CrawlInit(kSeed); }

    // Runs the step begun for visit, if any, fetching right here. Ticks that
    // come while the page is in flight must change nothing.
    void Finish(std::optional<Visit> visit) {
        if (!visit)
            return;
        for (int i = 0; i < ticksWhileInFlight_; ++i)
            EXPECT_FALSE(crawler_.CrawlTick());
        lines_.push_back(*RunStep(crawler_, visit));
    }

    void StartAt(const std::string& url) {
        crawler_.SetCurrentUrl(url);
        Finish(crawler_.StartCrawl());
    }

    void Tick() { Finish(crawler_.CrawlTick()); }

    // Ticks until the crawl is idle again; returns the number of ticks.
    int TickUntilIdle(int limit = 500) {
        int ticks = 0;
        for (; ticks < limit && crawler_.stepDone(); ++ticks)
            Tick();
        return ticks;
    }

    // The screen since the last clear must show exactly these lines.
    void ExpectScreenShows(const std::vector<std::string>& expected) {
        std::vector<std::string> shown;
        for (const ResultsLine& line : lines_) {
            if (line.clearsScreen)
                shown.clear();
            EXPECT_EQ(line.row, int(shown.size()));
            shown.push_back(line.text);
        }
        EXPECT_EQ(shown, expected);
    }

    std::string Log() { return WrittenLog(crawler_, logPath_); }
    std::vector<CsvRecord> Records() { return ParseCsv(Log()); }

    TempDir dir_;
    const std::string logPath_ = dir_.File("URL.csv");
    TestSite site_;
    Crawler crawler_{logPath_};
    std::vector<ResultsLine> lines_;
    int ticksWhileInFlight_ = 0;
};

TEST_F(CrawlTest, StartShowsCountZeroAndTheNextTickShowsTwo) {
    site_.AddPage("/", "Root", {{"/a/", "A"}, {"/b/", "B"}, {"/c/", "C"}});
    for (const char* page : {"/a/", "/b/", "/c/"})
        site_.AddPage(page, std::string("Page ") + page, {});

    StartAt(site_.Url("/"));
    const std::string first = "0: URL:" + site_.Url("/") + " TITLE:Root KEY:" + kStartPageKey;
    ExpectScreenShows({first});
    EXPECT_EQ(crawler_.linkTable().count(), 3);

    Tick();
    const std::string visited = site_.RequestedPaths().back();
    const std::string text(1, char(std::toupper(visited[1])));
    ExpectScreenShows(
        {first, "2: URL:" + site_.Url(visited) + " TITLE:Page " + visited + " KEY:" + text});
    EXPECT_EQ(crawler_.currentUrl(), site_.Url(visited));
    ASSERT_EQ(Records().size(), 2u);
    EXPECT_EQ(Records()[1], (CsvRecord{site_.Url(visited), "Page " + visited, text}));
}

class CrawlOrderTest : public CrawlTest, public ::testing::WithParamInterface<int> {};

// However many ticks arrive during each download, they draw no random
// numbers, so the order is that of a crawl whose downloads block.
TEST_P(CrawlOrderTest, VisitsFollowTheShuffledTableForAFixedSeed) {
    ticksWhileInFlight_ = GetParam();
    const std::map<std::string, std::vector<std::string>> links = {
        {"/", {"/a/", "/b/", "/c/", "/d/"}},
        {"/a/", {"/b/", "/c/", "/e/"}},
        {"/b/", {"/c/", "/d/"}},
        {"/c/", {"/e/"}},
        {"/d/", {"/e/"}},
        {"/e/", {}}};
    site_.AddLinkedPages(links);

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

INSTANTIATE_TEST_SUITE_P(TicksDuringDownloads, CrawlOrderTest, ::testing::Values(0, 3));

TEST_F(CrawlTest, StartDuringAStepIsHeldUntilItEnds) {
    site_.AddPage("/", "Root", {{"/a/", "A"}});
    site_.AddPage("/a/", "A", {});
    crawler_.SetCurrentUrl(site_.Url("/"));
    const std::optional<Visit> first = crawler_.StartCrawl();
    ASSERT_TRUE(first);
    EXPECT_TRUE(crawler_.stepInFlight());
    EXPECT_FALSE(crawler_.StartCrawl()) << "a second step may not begin";
    EXPECT_FALSE(crawler_.TakeHeldStart()) << "not before the first step ends";

    crawler_.SetCurrentUrl(site_.Url("/a/")); // edited in the start dialog meanwhile
    RunStep(crawler_, first);
    const std::optional<Visit> held = crawler_.TakeHeldStart();
    ASSERT_TRUE(held);
    EXPECT_EQ(held->url, site_.Url("/a/"));
    EXPECT_EQ(held->key, kStartPageKey);
    EXPECT_FALSE(crawler_.TakeHeldStart()) << "a held start runs once";
    EXPECT_FALSE(crawler_.CrawlTick()) << "no tick may begin a step beside the held start";
    ASSERT_EQ(Records().size(), 1u);
    EXPECT_EQ(Records()[0][0], site_.Url("/")) << "the step keeps the URL it began with";
}

TEST_F(CrawlTest, EmptyTableLeavesTheCrawlIdleUntilTheNextStart) {
    site_.AddPage("/", "Root", {{"/leaf/", "Leaf"}});
    site_.AddPage("/leaf/", "Leaf", {});
    StartAt(site_.Url("/"));
    EXPECT_EQ(TickUntilIdle(), 2) << "one step, then one tick that finds the table empty";

    const std::size_t requests = site_.RequestCount();
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(crawler_.CrawlTick());
    EXPECT_EQ(site_.RequestCount(), requests);
    EXPECT_EQ(lines_.size(), 2u);
    EXPECT_EQ(crawler_.row(), 2);

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
        Tick();
    std::vector<CsvRecord> records = Records();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[1], (CsvRecord{site_.Url("/a/"), "A", "from root"}));
    EXPECT_EQ(records[3], (CsvRecord{site_.Url("/a/"), "A", "from b"}));
}

TEST_F(CrawlTest, UnreachablePagesGetAnEmptyTitleAndTheCrawlGoesOn) {
    const std::string closed = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/x/";
    const std::string unresolved = "http://nowhere.invalid/";
    site_.AddRaw("/", "<title>Root</title><a href=\"" + closed + "\">Closed</a>");
    StartAt(site_.Url("/"));
    Tick();
    StartAt(unresolved);
    std::vector<CsvRecord> records = Records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1], (CsvRecord{closed, "", "Closed"}));
    EXPECT_EQ(records[2], (CsvRecord{unresolved, "", kStartPageKey}));
    EXPECT_EQ(crawler_.row(), 3);
    EXPECT_TRUE(crawler_.stepDone());
}

TEST_F(CrawlTest, AddressWithoutSchemeIsFetchedOverHttp) {
    site_.AddPage("/", "Plain host", {});
    const std::string withoutScheme = site_.Url("/").substr(std::string("http://").size());
    StartAt(withoutScheme);
    std::vector<CsvRecord> records = Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], (CsvRecord{withoutScheme, "Plain host", kStartPageKey}));
}

TEST_F(CrawlTest, EmptyUrlDrawsALineButWritesNoRecord) {
    StartAt("");
    ExpectScreenShows({std::string("0: URL: TITLE: KEY:") + kStartPageKey});
    EXPECT_FALSE(std::filesystem::exists(logPath_));
    EXPECT_EQ(crawler_.row(), 1);
    EXPECT_TRUE(crawler_.stepDone());
}

TEST_F(CrawlTest, TheFiftySecondLineClearsTheScreenAndStartsAtTheTop) {
    const std::string line = std::string("0: URL: TITLE: KEY:") + kStartPageKey;
    for (int i = 0; i < 51; ++i)
        StartAt("");
    ExpectScreenShows(std::vector<std::string>(51, line));
    StartAt("");
    ExpectScreenShows({line});
    EXPECT_TRUE(lines_.back().clearsScreen);
    EXPECT_EQ(crawler_.row(), 1);
}

TEST_F(CrawlTest, RecordsWithAwkwardTitlesAndLinkTextsReadBackAsThreeFields) {
    site_.AddRaw("/", "<title>Comma, \"quoted\"\nand a break</title>"
                      "<a href=\"" +
                          site_.Url("/a/") + "\">text, \"with\"\nbreak</a>");
    site_.AddPage("/a/", "Plain", {});
    StartAt(site_.Url("/"));
    Tick();
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
    Tick();
    EXPECT_EQ(Log(), site_.Url("/") + ",Root 100%," + kStartPageKey + "\r\n" + site_.Url("/a/") +
                         ",A,%s%n\r\n");
}

} // namespace
