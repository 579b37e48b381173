// The crawl as the window runs it, downloads on a worker thread: the same
// visits, lines and URL.csv bytes as a crawl whose downloads block, URLs kept
// as written, a start chosen during a download, and a cancel, which never
// waits on the network and never finishes its step.
#include "shell/crawl_runner.h"
#include "shell/ui_driver.h"

#include "support/blocking_step.h"
#include "support/csv_reader.h"
#include "support/temp_dir.h"
#include "support/test_site.h"
#include "support/written_log.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
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
        runner_ = MakeRunner(site_.Url("/"));
    }

    std::unique_ptr<CrawlRunner> MakeRunner(const std::string& start) {
        auto runner = std::make_unique<CrawlRunner>(dir_.File("URL.csv"));
        runner->crawler().CrawlInit(kSeed);
        runner->crawler().SetCurrentUrl(start);
        QObject::connect(runner.get(), &CrawlRunner::lineReady,
                         [this](const ResultsLine& line) { lines_.push_back(line.text); });
        return runner;
    }

    // How long the runner takes to go, as it goes when the program quits.
    std::chrono::duration<double> Destroy() {
        const auto start = std::chrono::steady_clock::now();
        runner_.reset();
        return std::chrono::steady_clock::now() - start;
    }

    // URL.csv once the runner's crawl has written the records of the steps it
    // finished; a runner gone has written them on its way.
    std::string Log() {
        return runner_ ? WrittenLog(runner_->crawler(), dir_.File("URL.csv"))
                       : ReadWholeFile(dir_.File("URL.csv"));
    }

    TestSite site_;
    TempDir dir_;
    std::unique_ptr<CrawlRunner> runner_;
    std::vector<std::string> lines_;
};

// Each page takes three ticks to arrive; those ticks must change nothing.
TEST_F(CrawlRunnerTest, SlowDownloadsCrawlExactlyAsBlockingOnes) {
    site_.SetDelay(300ms);
    constexpr std::size_t kSteps = 8;
    runner_->startTicking();
    runner_->startCrawl();
    ASSERT_TRUE(PumpUntil([&] { return lines_.size() >= kSteps; }, 30000));
    runner_->cancelFetch();

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
    runner_->startTicking();
    runner_->startCrawl();
    ASSERT_TRUE(runner_->crawler().stepInFlight());
    runner_->crawler().SetCurrentUrl(site_.Url("/e/"));
    runner_->startCrawl();
    ASSERT_TRUE(PumpUntil([&] { return lines_.size() >= 2; }));
    runner_->cancelFetch();

    const std::string start = kStartPageKey;
    EXPECT_EQ(lines_[0], "0: URL:" + site_.Url("/") + " TITLE:T/ KEY:" + start);
    EXPECT_EQ(lines_[1], "4: URL:" + site_.Url("/e/") + " TITLE:T/e/ KEY:" + start)
        << "the held start comes before any tick's step";
}

// URL.csv and the screen keep each URL as the page wrote it; only the
// request is percent-encoded.
TEST_F(CrawlRunnerTest, UrlsAreShownAndRecordedAsWritten) {
    site_.AddRaw("/raw/", "<title>R</title><a href=\"" + site_.Url("/a b/") + "\">x</a>");
    site_.AddRaw("/a b/", "<title>S</title><a href=\"" + site_.Url("/日本/") + "\">y</a>");
    site_.AddRaw("/日本/", "<title>N</title>");
    runner_->crawler().SetCurrentUrl(site_.Url("/raw/"));
    runner_->startTicking();
    runner_->startCrawl();
    ASSERT_TRUE(PumpUntil([&] { return lines_.size() >= 3; }));

    EXPECT_EQ(lines_[1], "0: URL:" + site_.Url("/a b/") + " TITLE:S KEY:x");
    EXPECT_EQ(lines_[2], "0: URL:" + site_.Url("/日本/") + " TITLE:N KEY:y");
    const std::vector<CsvRecord> records = ParseCsv(Log());
    ASSERT_GE(records.size(), 3u);
    EXPECT_EQ(records[1], (CsvRecord{site_.Url("/a b/"), "S", "x"}));
    EXPECT_EQ(records[2], (CsvRecord{site_.Url("/日本/"), "N", "y"}));
}

// Quitting while a server holds its reply back, or while a name lookup
// takes 5 s: the runner lets go at once, with no line and no record.
TEST_F(CrawlRunnerTest, CancelEndsADownloadWithoutALineOrARecord) {
    site_.SetDelay(3s);
    for (const std::string& start : {site_.Url("/"), std::string("http://slow-5000.test/")}) {
        SCOPED_TRACE(start);
        runner_ = MakeRunner(start);
        runner_->startCrawl();
        PumpUntil([] { return false; }, 300);
        runner_->cancelFetch();
        runner_->startCrawl();
        PumpUntil([] { return false; }, 200);
        EXPECT_LT(Destroy().count(), 1.0) << "the transfer went on after the cancel";
    }
    EXPECT_TRUE(lines_.empty());
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(site_.RequestedPaths().size(), 1u) << "nothing begins after a cancel";
}

// Its completion was already waiting for the GUI thread when the cancel came.
TEST_F(CrawlRunnerTest, APageArrivedJustBeforeACancelIsNeverFinished) {
    runner_->startCrawl();
    for (int waited = 0; site_.RequestedPaths().empty() && waited < 5000; ++waited)
        std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(300ms);
    runner_->cancelFetch();
    PumpUntil([] { return false; }, 300);

    EXPECT_TRUE(lines_.empty());
    EXPECT_EQ(Log(), "");
}

} // namespace
