// The crawl as the window runs it, downloads on a worker thread: the same
// visits, lines and URL.csv bytes as a crawl whose downloads block and as
// the program's crawl without a window, URLs kept as written, a start
// chosen during a download, and a cancel, which never waits on the network
// and never finishes its step.
#include "crawl/crawl_runner.h"

#include "support/blocking_step.h"
#include "support/cp932_reference.h"
#include "support/csv_reader.h"
#include "support/program_run.h"
#include "support/temp_dir.h"
#include "support/test_site.h"
#include "support/written_log.h"
#include "text/decoded_text.h"
#include "text/line_rules.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace torvesk::text;
using namespace torvesk::engine;
using namespace torvesk::crawl;

namespace {

constexpr std::uint32_t kSeed = 77;
constexpr int kWaitMs = 10000; // for what takes a few ticks at most
// Ticks that must change nothing come this often: what they must not change
// does not depend on their period, and a short one keeps the tests quick.
constexpr int kQuickTickMs = 20;

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
        auto runner = std::make_unique<CrawlRunner>(dir_.File("URL.csv"), kSeed);
        runner->setStartUrl(start);
        lines_ = std::make_unique<QSignalSpy>(runner.get(), &CrawlRunner::lineReady);
        return runner;
    }

    // The texts of the lines the runner has shown.
    std::vector<std::string> Lines() const {
        std::vector<std::string> texts;
        for (const QList<QVariant>& signal : *lines_)
            texts.push_back(signal.at(0).value<ResultsLine>().text);
        return texts;
    }

    // Waits until the runner has shown count lines; false if it never did.
    bool WaitForLines(qsizetype count) {
        return QTest::qWaitFor([&] { return lines_->size() >= count; }, kWaitMs);
    }

    bool WaitForRequests(std::size_t count) {
        return QTest::qWaitFor([&] { return site_.RequestCount() >= count; }, kWaitMs);
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
        if (runner_) {
            EXPECT_TRUE(runner_->flushRecords(kLogWait)) << "records still unwritten after 10 s";
        }
        return ReadWholeFile(dir_.File("URL.csv"));
    }

    TestSite site_;
    TempDir dir_;
    std::unique_ptr<CrawlRunner> runner_;
    std::unique_ptr<QSignalSpy> lines_;
};

// Each page is held at the server until three ticks have passed since its
// request came; those ticks must change nothing.
TEST_F(CrawlRunnerTest, SlowDownloadsCrawlExactlyAsBlockingOnes) {
    constexpr std::size_t kSteps = 8;
    constexpr int kTicksPerDownload = 3;
    site_.CloseGate();
    QSignalSpy ticks(&runner_->tickTimer(), &QTimer::timeout);
    runner_->setInterval(kQuickTickMs);
    runner_->startTicking();
    runner_->startCrawl();
    for (std::size_t step = 1; step <= kSteps; ++step) {
        ASSERT_TRUE(WaitForRequests(step));
        ticks.clear();
        ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.size() >= kTicksPerDownload; }, kWaitMs));
        site_.LetThrough();
    }
    ASSERT_TRUE(WaitForLines(kSteps));
    runner_->cancelFetch();
    site_.OpenGate();

    const Crawl blocking = BlockingCrawl(site_.Url("/"), kSteps);
    EXPECT_EQ(Lines(), blocking.lines);
    const std::vector<CsvRecord> records = ParseCsv(Log());
    const std::vector<CsvRecord> expected = ParseCsv(blocking.log);
    ASSERT_GE(records.size(), kSteps);
    EXPECT_EQ(std::vector<CsvRecord>(records.begin(), records.begin() + kSteps), expected);
}

// Paused with a page in flight and again right after a page: the page in
// flight finishes its step, the ticks while paused begin nothing and draw
// nothing, and the crawl goes on as if it had never paused.
TEST_F(CrawlRunnerTest, PausesLeaveTheCrawlExactlyAsBlockingOnes) {
    constexpr std::size_t kSteps = 7;
    constexpr int kTicksPaused = 3;
    site_.CloseGate();
    QSignalSpy ticks(&runner_->tickTimer(), &QTimer::timeout);
    std::size_t shown = 0;
    QObject::connect(runner_.get(), &CrawlRunner::lineReady, [&] {
        if (++shown % 3 == 0)
            runner_->pause();
    });
    runner_->setInterval(kQuickTickMs);
    runner_->startTicking();
    runner_->startCrawl();
    for (std::size_t step = 1; step <= kSteps; ++step) {
        ASSERT_TRUE(WaitForRequests(step));
        if (step % 2 == 0)
            runner_->pause();
        site_.LetThrough();
        ASSERT_TRUE(WaitForLines(static_cast<qsizetype>(step)));
        if (runner_->state() != CrawlState::Paused)
            continue;
        ticks.clear();
        ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.size() >= kTicksPaused; }, kWaitMs));
        EXPECT_EQ(site_.RequestCount(), step) << "a page was requested while paused";
        runner_->resume();
    }
    runner_->cancelFetch();
    site_.OpenGate();

    const Crawl blocking = BlockingCrawl(site_.Url("/"), kSteps);
    EXPECT_EQ(Lines(), blocking.lines);
    EXPECT_EQ(Log(), blocking.log);
}

// With a zero period the next page is taken as soon as a step has ended,
// by the same draws as with the tick.
TEST_F(CrawlRunnerTest, AZeroPeriodCrawlsExactlyAsBlockingOnes) {
    constexpr std::size_t kSteps = 12;
    runner_->setInterval(0);
    runner_->startTicking();
    runner_->startCrawl();
    ASSERT_TRUE(WaitForLines(kSteps));
    runner_->stop();

    const Crawl blocking = BlockingCrawl(site_.Url("/"), kSteps);
    std::vector<std::string> lines = Lines();
    lines.resize(kSteps);
    EXPECT_EQ(lines, blocking.lines);
    EXPECT_TRUE(Log().starts_with(blocking.log));
}

// torvesk --crawl with the window's seed and --pages, run first as its own
// process without a display, writes the URL.csv bytes of the window's
// runner, and prints the window's lines as the screen decodes them, each on
// one line; it asks for no page more. Both take each step as soon as the
// last has ended: the tests above show the tick's period changes nothing.
TEST_F(CrawlRunnerTest, TheCrawlWithoutAWindowWritesTheWindowsBytes) {
    constexpr qsizetype kPages = 10;
    site_.AddPage("/", Utf8ToCp932("日本") + "\r\n" + "語",
                  {{"/a/", "a"}, {"/b/", "b"}, {"/d/", "d"}});
    const Finished crawl = RunWithoutDisplay({"--crawl", QString::fromStdString(site_.Url("/")),
                                              "--seed", QString::number(kSeed), "--interval", "0",
                                              "--pages", QString::number(kPages), "--output",
                                              QString::fromStdString(dir_.File("crawl.csv"))});
    ASSERT_EQ(crawl.exitCode, 0) << crawl.err.toStdString();
    EXPECT_EQ(site_.RequestCount(), static_cast<std::size_t>(kPages));

    QObject::connect(runner_.get(), &CrawlRunner::lineReady, [this] {
        if (lines_->size() == kPages)
            runner_->stop();
    });
    runner_->setInterval(0);
    runner_->startTicking();
    runner_->startCrawl();
    ASSERT_TRUE(WaitForLines(kPages));
    EXPECT_EQ(ReadWholeFile(dir_.File("crawl.csv")), Log());
    const QList<QByteArray> printed = crawl.out.split('\n');
    ASSERT_EQ(printed.size(), kPages + 1);
    for (qsizetype line = 0; line < kPages; ++line)
        EXPECT_EQ(QString::fromUtf8(printed[line]),
                  QString::fromStdU16String(OnOneLine(DecodeText(Lines()[line]))));
    EXPECT_EQ(printed[0].toStdString(),
              "0: URL:" + site_.Url("/") + " TITLE:日本  語 KEY:スタートページ");
}

// Stop abandons the page in flight (no line, no record) and empties the
// table; the next start begins at the address the crawl was on, with the
// count 0.
TEST_F(CrawlRunnerTest, StopAbandonsThePageInFlightAndEmptiesTheTable) {
    site_.CloseGate();
    QSignalSpy states(runner_.get(), &CrawlRunner::stateChanged);
    runner_->startTicking();
    runner_->startCrawl();
    ASSERT_TRUE(WaitForRequests(1));
    site_.LetThrough();
    ASSERT_TRUE(WaitForRequests(2));
    runner_->stop();
    EXPECT_EQ(runner_->state(), CrawlState::Idle);
    EXPECT_EQ(runner_->progress().linksWaiting, 0);
    const std::string abandoned = site_.RequestedPaths()[1];
    site_.OpenGate();
    runner_->startCrawl();
    ASSERT_TRUE(WaitForLines(2));

    const std::string start = kStartPageKey;
    EXPECT_EQ(Lines()[1],
              "0: URL:" + site_.Url(abandoned) + " TITLE:T" + abandoned + " KEY:" + start);
    const std::vector<CsvRecord> records = ParseCsv(Log());
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(records[1], (CsvRecord{site_.Url(abandoned), "T" + abandoned, start}));
    ASSERT_GE(states.size(), 3);
    EXPECT_EQ(states[1].at(0).value<CrawlState>(), CrawlState::Idle);
    EXPECT_EQ(states[2].at(0).value<CrawlState>(), CrawlState::Crawling);
}

// What a status line shows: pages visited, a failure and the line that
// says why until a page arrives well, records written and not, and the
// crawl going idle once its table is empty.
TEST_F(CrawlRunnerTest, ProgressCountsPagesFailuresAndRecords) {
    const std::string linkToGone =
        "<title>F</title><a href=\"" + site_.Url("/gone/") + "\">gone</a>";
    site_.AddRaw("/f/", linkToGone); // /gone/ is answered with a 404
    TempDir elsewhere;               // URL.csv is a directory there: no record can be written
    std::filesystem::create_directory(elsewhere.File("URL.csv"));
    CrawlRunner runner(elsewhere.File("URL.csv"), kSeed);
    QSignalSpy pages(&runner, &CrawlRunner::pageVisited);
    QSignalSpy settled(&runner, &CrawlRunner::recordSettled);
    runner.setStartUrl("http://127.0.0.1:1/");
    const auto visited = [&runner](std::uint64_t count) {
        return QTest::qWaitFor([&] { return runner.progress().pagesVisited >= count; }, kWaitMs);
    };
    testing::internal::CaptureStderr();
    runner.startCrawl();
    ASSERT_TRUE(visited(1));
    EXPECT_EQ(runner.progress().lastFailure,
              "fetching http://127.0.0.1:1/ failed: could not connect");

    runner.setStartUrl(site_.Url("/f/"));
    runner.startTicking();
    runner.startCrawl();
    ASSERT_TRUE(visited(3));
    ASSERT_TRUE(QTest::qWaitFor([&] { return runner.state() == CrawlState::Idle; }, kWaitMs));
    runner.flushRecords(kLogWait);
    ASSERT_TRUE(QTest::qWaitFor([&] { return settled.size() == 3; }, kWaitMs));
    testing::internal::GetCapturedStderr();
    const CrawlProgress progress = runner.progress();
    EXPECT_EQ(progress.fetchesFailed, 1u);
    EXPECT_EQ(progress.httpErrors, 1u);
    EXPECT_EQ(progress.lastFailure, "");
    EXPECT_EQ(progress.linksWaiting, 0);
    EXPECT_EQ(progress.records.written, 0u);
    EXPECT_EQ(progress.records.notWritten, 3u);

    ASSERT_EQ(pages.size(), 3);
    const auto page = [&](int i) { return pages.at(i).at(0).value<PageVisited>(); };
    EXPECT_EQ(page(0).status, 0);
    EXPECT_EQ(page(0).failure, "fetching http://127.0.0.1:1/ failed: could not connect");
    EXPECT_EQ(page(1).url, site_.Url("/f/"));
    EXPECT_EQ(page(1).title, "F");
    EXPECT_EQ(page(1).status, 200);
    EXPECT_EQ(page(1).linksHarvested, 1);
    EXPECT_EQ(page(1).bytesReceived, linkToGone.size());
    EXPECT_EQ(page(2).key, "gone");
    EXPECT_EQ(page(2).status, 404);
    EXPECT_TRUE(IsFailure(page(2)) && IsFailure(page(0)) && !IsFailure(page(1)));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(page(i).visit, static_cast<std::uint64_t>(i + 1));
        EXPECT_EQ(page(i).record, static_cast<std::uint64_t>(i + 1));
        const RecordSettled record = settled.at(i).at(0).value<RecordSettled>();
        EXPECT_EQ(record.ordinal, static_cast<std::uint64_t>(i + 1));
        EXPECT_FALSE(record.written);
        EXPECT_EQ(record.error, EISDIR) << "URL.csv is a directory";
    }
}

TEST_F(CrawlRunnerTest, StartChosenDuringADownloadRunsRightAfterIt) {
    site_.CloseGate();
    runner_->startTicking();
    runner_->startCrawl();
    ASSERT_TRUE(WaitForRequests(1));
    ASSERT_TRUE(runner_->stepInFlight());
    runner_->setStartUrl(site_.Url("/e/"));
    runner_->startCrawl();
    site_.OpenGate();
    ASSERT_TRUE(WaitForLines(2));
    runner_->cancelFetch();

    const std::string start = kStartPageKey;
    const std::vector<std::string> lines = Lines();
    EXPECT_EQ(lines[0], "0: URL:" + site_.Url("/") + " TITLE:T/ KEY:" + start);
    EXPECT_EQ(lines[1], "4: URL:" + site_.Url("/e/") + " TITLE:T/e/ KEY:" + start)
        << "the held start comes before any tick's step";
}

// URL.csv and the screen keep each URL as the page wrote it; only the
// request is percent-encoded.
TEST_F(CrawlRunnerTest, UrlsAreShownAndRecordedAsWritten) {
    site_.AddRaw("/raw/", "<title>R</title><a href=\"" + site_.Url("/a b/") + "\">x</a>");
    site_.AddRaw("/a b/", "<title>S</title><a href=\"" + site_.Url("/日本/") + "\">y</a>");
    site_.AddRaw("/日本/", "<title>N</title>");
    runner_->setStartUrl(site_.Url("/raw/"));
    runner_->startTicking();
    runner_->startCrawl();
    ASSERT_TRUE(WaitForLines(3));

    const std::vector<std::string> lines = Lines();
    EXPECT_EQ(lines[1], "0: URL:" + site_.Url("/a b/") + " TITLE:S KEY:x");
    EXPECT_EQ(lines[2], "0: URL:" + site_.Url("/日本/") + " TITLE:N KEY:y");
    const std::vector<CsvRecord> records = ParseCsv(Log());
    ASSERT_GE(records.size(), 3u);
    EXPECT_EQ(records[1], (CsvRecord{site_.Url("/a b/"), "S", "x"}));
    EXPECT_EQ(records[2], (CsvRecord{site_.Url("/日本/"), "N", "y"}));
}

// Quitting while the server holds its reply back: the runner lets go at
// once, with no line and no record, and begins nothing after the cancel.
TEST_F(CrawlRunnerTest, CancelEndsADownloadWithoutALineOrARecord) {
    site_.CloseGate();
    runner_->startCrawl();
    ASSERT_TRUE(WaitForRequests(1));
    runner_->cancelFetch();
    runner_->startCrawl();
    EXPECT_LT(Destroy().count(), 1.0) << "the transfer went on after the cancel";

    EXPECT_TRUE(lines_->empty());
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(site_.RequestedPaths().size(), 1u) << "nothing begins after a cancel";
}

// Sees each event before its receiver does, and cancels the runner's fetch
// when a finished fetch's completion reaches the runner: the transfer ended
// without a cancel, and its completion waits for the GUI thread.
class CancelOnArrival : public QObject {
public:
    explicit CancelOnArrival(CrawlRunner& runner) : runner_(runner) {
        QCoreApplication::instance()->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!cancelled_ && watched == &runner_ && event->type() == QEvent::MetaCall) {
            cancelled_ = true;
            runner_.cancelFetch();
            // Runs once the runner has handled the completion.
            QTimer::singleShot(0, this, [this] { handled_ = true; });
        }
        return false;
    }
    bool Handled() const { return handled_; }

private:
    CrawlRunner& runner_;
    bool cancelled_ = false;
    bool handled_ = false;
};

TEST_F(CrawlRunnerTest, APageArrivedJustBeforeACancelIsNeverFinished) {
    CancelOnArrival canceller(*runner_);
    runner_->startCrawl();
    ASSERT_TRUE(QTest::qWaitFor([&] { return canceller.Handled(); }, kWaitMs));

    EXPECT_TRUE(lines_->empty());
    EXPECT_EQ(Log(), "");
}

} // namespace
