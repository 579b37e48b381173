// The crawl as the window runs it, downloads on a worker thread: the same
// visits, lines and URL.csv bytes as a crawl whose downloads block, a start
// chosen during a download, and a cancel.
#include "shell/crawl_runner.h"
#include "shell/ui_driver.h"

#include "support/blocking_step.h"
#include "support/csv_reader.h"
#include "support/temp_dir.h"
#include "support/test_site.h"
#include "support/written_log.h"

#include <QThreadPool>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kSeed = 77;

struct Crawl {
    std::vector<std::string> lines;
    std::string log; // URL.csv, byte for byte
};

void AddLinkedSite(TestSite& site) {
    site.AddLinkedPages({{"/", {"/a/", "/b/", "/c/", "/d/"}},
                         {"/a/", {"/b/", "/c/", "/e/"}},
                         {"/b/", {"/c/", "/d/", "/"}},
                         {"/c/", {"/e/"}},
                         {"/d/", {"/e/", "/a/"}},
                         {"/e/", {}}});
}

// The same number of steps with every download blocking the caller.
Crawl BlockingCrawl(const std::string& start, std::size_t steps) {
    TempDir dir;
    Crawler crawler(dir.File("URL.csv"));
    crawler.CrawlInit(kSeed);
    crawler.SetCurrentUrl(start);
    Crawl crawl;
    crawl.lines.push_back(RunStep(crawler, crawler.StartCrawl())->text);
    while (crawl.lines.size() < steps)
        crawl.lines.push_back(RunStep(crawler, crawler.CrawlTick())->text);
    crawl.log = WrittenLog(crawler, dir.File("URL.csv"));
    return crawl;
}

class CrawlRunnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        AddLinkedSite(site_);
        runner_.crawler().CrawlInit(kSeed);
        runner_.crawler().SetCurrentUrl(site_.Url("/"));
        QObject::connect(&runner_, &CrawlRunner::lineReady,
                         [this](const ResultsLine& line) { lines_.push_back(line.text); });
    }

    std::string Log() { return WrittenLog(runner_.crawler(), dir_.File("URL.csv")); }

    TestSite site_;
    TempDir dir_;
    CrawlRunner runner_{dir_.File("URL.csv")};
    std::vector<std::string> lines_;
};

// Each page takes three ticks to arrive; those ticks must change nothing.
TEST_F(CrawlRunnerTest, SlowDownloadsCrawlExactlyAsBlockingOnes) {
    site_.SetDelay(300ms);
    constexpr std::size_t kSteps = 8;
    runner_.StartTimer();
    runner_.StartCrawl();
    ASSERT_TRUE(PumpUntil([&] { return lines_.size() >= kSteps; }, 30000));
    runner_.CancelFetch();

    const Crawl blocking = BlockingCrawl(site_.Url("/"), kSteps);
    lines_.resize(kSteps);
    EXPECT_EQ(lines_, blocking.lines);
    const std::vector<CsvRecord> records = ParseCsv(Log());
    const std::vector<CsvRecord> expected = ParseCsv(blocking.log);
    ASSERT_GE(records.size(), kSteps);
    EXPECT_EQ(std::vector<CsvRecord>(records.begin(), records.begin() + kSteps), expected);
}

TEST_F(CrawlRunnerTest, StartChosenDuringADownloadRunsRightAfterIt) {
    site_.SetDelay(400ms);
    runner_.StartTimer();
    runner_.StartCrawl();
    ASSERT_TRUE(runner_.crawler().stepInFlight());
    runner_.crawler().SetCurrentUrl(site_.Url("/e/"));
    runner_.StartCrawl();
    ASSERT_TRUE(PumpUntil([&] { return lines_.size() >= 2; }));
    runner_.CancelFetch();

    const std::string start = kStartPageKey;
    EXPECT_EQ(lines_[0], "0: URL:" + site_.Url("/") + " TITLE:T/ KEY:" + start);
    EXPECT_EQ(lines_[1], "4: URL:" + site_.Url("/e/") + " TITLE:T/e/ KEY:" + start)
        << "the held start comes before any tick's step";
}

TEST_F(CrawlRunnerTest, CancelEndsADownloadWithoutALineOrARecord) {
    site_.SetDelay(3s);
    runner_.StartCrawl();
    PumpUntil([&] { return !site_.RequestedPaths().empty(); });
    runner_.CancelFetch();
    runner_.StartCrawl();
    EXPECT_TRUE(
        PumpUntil([] { return QThreadPool::globalInstance()->activeThreadCount() == 0; }, 1000))
        << "the transfer went on after the cancel";
    PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(lines_.empty());
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(site_.RequestedPaths().size(), 1u) << "nothing begins after a cancel";
}

} // namespace
