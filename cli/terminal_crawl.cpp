// TerminalCrawl: the runner's lines printed as the screen decodes them, its
// error lines shown above its progress line, the progress drawn ten times a
// second, and the one way every crawl ends: the page in flight abandoned,
// the finished records written, a summary. A standard output whose reader
// has gone ends it at once instead, by SIGPIPE, as it ends any Unix tool.
#include "cli/terminal_crawl.h"

#include "cli/error_lines.h"
#include "cli/progress_line.h"
#include "cli/standard_output.h"
#include "cli/stop_signals.h"
#include "crawl/crawl_runner.h"
#include "text/line_rules.h"

#include <QCoreApplication>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <unistd.h>
#include <variant>

using namespace torvesk::crawl;
using namespace torvesk::engine;
using namespace torvesk::text;

namespace torvesk::cli {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kProgressPeriodMs = 100; // at most ten redraws a second

enum class Ending { TableEmpty, PagesVisited, Signal, RecordsRefused, LinesRefused };

// A results line as UTF-8 text on one line, decoded as the screen decodes it.
QByteArray TerminalText(std::string_view line) {
    return QString::fromStdU16String(ForTerminal(line)).toUtf8() + '\n';
}

// 0, or the errno that kept text from standard output.
int Print(const QByteArray& text) {
    errno = 0;
    const bool printed = std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()),
                                     stdout) == static_cast<std::size_t>(text.size()) &&
                         std::fflush(stdout) == 0;
    if (printed)
        return 0;
    std::clearerr(stdout);
    return errno != 0 ? errno : EIO;
}

const char* InWords(Ending ending, int signalNumber) {
    switch (ending) {
    case Ending::TableEmpty:
        return "no links left";
    case Ending::PagesVisited:
        return "the pages asked for are visited";
    case Ending::Signal:
        return signalNumber == SIGINT ? "interrupted" : "terminated";
    case Ending::RecordsRefused:
        return "standard output took no more records";
    case Ending::LinesRefused:
        return "standard output took no more results lines";
    }
    return "";
}

// "1 page", "2 pages".
std::string Counted(std::uint64_t count, const char* thing) {
    return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

std::string ProgressText(const CrawlProgress& progress, double seconds) {
    return Counted(progress.pagesVisited, "page") +
           QString::asprintf(", %llu failed, %llu HTTP errors, %d waiting, %.1f pages/s, %.1f s",
                             static_cast<unsigned long long>(progress.fetchesFailed),
                             static_cast<unsigned long long>(progress.httpErrors),
                             progress.linksWaiting, progress.pagesPerSecond, seconds)
               .toStdString();
}

std::string Summary(const CrawlProgress& done, double seconds, const char* why) {
    return "torvesk: " + Counted(done.pagesVisited, "page") + " (" +
           std::to_string(done.fetchesFailed) + " failed, " +
           Counted(done.httpErrors, "HTTP error") + ") in " +
           QString::number(seconds, 'f', 1).toStdString() + " s, " +
           Counted(done.records.written, "record") + " written, " +
           std::to_string(done.records.notWritten) + " not written; " + why + "\n";
}

class TerminalCrawl : public QObject {
public:
    TerminalCrawl(const CrawlRequest& request, RecordTarget records, StopSignals& stops);

    void start();

private:
    bool showsProgress() const;
    void showError(const std::string& line);
    void showLine(const ResultsLine& line);
    int print(const ResultsLine& line);
    void noteState(CrawlState state);
    void watch();
    bool recordsRefused();
    bool readerGone() const;
    [[noreturn]] void endAsReaderGone();
    double seconds() const;
    void end(Ending ending, int signalNumber = 0);
    int exitCode(Ending ending, int signalNumber, bool flushed, const CrawlProgress& done) const;

    const CrawlRequest request_;
    const bool recordsToStandardOutput_;
    const bool printsLines_;
    const OutputKind output_; // what standard output is
    StopSignals& stops_;
    // Before the runner, which reports to it until its log is gone.
    ErrorLines errors_;
    CrawlRunner runner_;
    std::unique_ptr<ProgressLine> progress_; // while shown on a terminal
    QTimer watch_;
    std::uint64_t lines_ = 0;
    int linesError_ = 0; // why standard output took no more results lines
    bool ending_ = false;
    Clock::time_point started_;
};

TerminalCrawl::TerminalCrawl(const CrawlRequest& request, RecordTarget records, StopSignals& stops)
    : request_(request), recordsToStandardOutput_(request.output == "-"),
      printsLines_(!request.quiet && !recordsToStandardOutput_), output_(StandardOutputKind()),
      stops_(stops), errors_([this](const std::string& line) { showError(line); }),
      runner_(std::move(records), request.seed, {}, errors_.reporter()) {
    if (request.intervalMs)
        runner_.setInterval(*request.intervalMs);
    connect(&runner_, &CrawlRunner::lineReady, this, &TerminalCrawl::showLine);
    connect(&runner_, &CrawlRunner::stateChanged, this, &TerminalCrawl::noteState);
    connect(&stops_, &StopSignals::arrived, this,
            [this](int number) { end(Ending::Signal, number); });
    connect(&watch_, &QTimer::timeout, this, &TerminalCrawl::watch);
}

// The start page with the KEY "スタートページ", then one page a tick, as the
// window's "解析スタート" does.
void TerminalCrawl::start() {
    if (!request_.quiet)
        std::fprintf(stderr, "torvesk: seed %u\n", static_cast<unsigned>(request_.seed));
    if (showsProgress())
        progress_ = std::make_unique<ProgressLine>();
    // Also watches for standard output's reader while a page is in flight.
    watch_.start(kProgressPeriodMs);
    started_ = Clock::now();
    runner_.setStartUrl(request_.url);
    runner_.startCrawl();
    runner_.startTicking();
}

// Only on a terminal, and never beside what a pipe or socket may carry to
// the same terminal through another program, where the line would glue
// onto its text; records that the log thread writes to that terminal would
// run through the line.
bool TerminalCrawl::showsProgress() const {
    if (request_.quiet || ::isatty(STDERR_FILENO) != 1)
        return false;
    if (output_ == OutputKind::Terminal)
        return !recordsToStandardOutput_;
    return output_ == OutputKind::Other || !(printsLines_ || recordsToStandardOutput_);
}

// A line about standard output once its reader has gone is no news: the
// crawl ends as a pipe's writer does.
void TerminalCrawl::showError(const std::string& line) {
    if (readerGone())
        endAsReaderGone();
    if (!progress_)
        return ReportOnStandardError(line);
    progress_->printAbove([&] { ReportOnStandardError(line); });
}

void TerminalCrawl::showLine(const ResultsLine& line) {
    ++lines_;
    if (printsLines_ && (linesError_ = print(line)) != 0)
        return end(Ending::LinesRefused);
    if (request_.pages && lines_ >= *request_.pages)
        return end(Ending::PagesVisited);
    if (recordsRefused())
        end(Ending::RecordsRefused);
}

// 0 once the line reached standard output, else the errno that kept it off.
int TerminalCrawl::print(const ResultsLine& line) {
    if (readerGone())
        endAsReaderGone();
    const QByteArray text = TerminalText(line.text);
    if (!progress_ || output_ != OutputKind::Terminal)
        return Print(text);
    int error = 0;
    progress_->printAbove([&] { error = Print(text); });
    return error;
}

void TerminalCrawl::noteState(CrawlState state) {
    if (state == CrawlState::Idle)
        end(Ending::TableEmpty);
}

void TerminalCrawl::watch() {
    if (readerGone())
        endAsReaderGone();
    if (progress_)
        progress_->show(ProgressText(runner_.progress(), seconds()));
    if (recordsRefused())
        end(Ending::RecordsRefused);
}

// Records to standard output end the crawl once one is refused.
bool TerminalCrawl::recordsRefused() {
    return recordsToStandardOutput_ && runner_.recordCounts().notWritten > 0;
}

bool TerminalCrawl::readerGone() const {
    return output_ == OutputKind::Stream && ReaderGone();
}

// The records of finished pages still go to their file first; none are
// waited for when standard output was where they went.
void TerminalCrawl::endAsReaderGone() {
    ending_ = true; // the stop makes the crawl idle, which is no ending of its own here
    runner_.stop();
    if (!recordsToStandardOutput_)
        runner_.flushRecords(kRecordsWait);
    progress_.reset();
    EndAsReaderGone();
}

double TerminalCrawl::seconds() const {
    return std::chrono::duration<double>(Clock::now() - started_).count();
}

// The page in flight is abandoned as quitting abandons it; the records of
// finished pages are written whole, and the lines of those not written
// shown, before the summary. Meanwhile a second signal ends the process at
// once.
void TerminalCrawl::end(Ending ending, int signalNumber) {
    if (ending_)
        return;
    ending_ = true;
    stops_.endAtOnce();
    runner_.stop();
    watch_.stop();
    progress_.reset();
    const bool flushed = runner_.flushRecords(kRecordsWait);
    errors_.showWaiting();
    const CrawlProgress done = runner_.progress();
    std::string why = InWords(ending, signalNumber);
    if (ending == Ending::LinesRefused)
        why += std::string(": ") + std::strerror(linesError_);
    if (!request_.quiet)
        std::fputs(Summary(done, seconds(), why.c_str()).c_str(), stderr);
    else if (done.records.notWritten > 0)
        std::fprintf(stderr, "torvesk: %s not written\n",
                     Counted(done.records.notWritten, "record").c_str());
    QCoreApplication::exit(exitCode(ending, signalNumber, flushed, done));
}

int TerminalCrawl::exitCode(Ending ending, int signalNumber, bool flushed,
                            const CrawlProgress& done) const {
    if (ending == Ending::Signal)
        return 128 + signalNumber;
    const bool lost = !flushed || done.records.notWritten > 0 || ending == Ending::RecordsRefused ||
                      ending == Ending::LinesRefused;
    if (lost)
        return kRecordsLostExitCode;
    return done.pagesVisited > done.fetchesFailed ? 0 : kNothingFetchedExitCode;
}

} // namespace

// SIGPIPE keeps its default: a results line written to a pipe without
// reader ends the program as it ends any Unix tool. The records are kept
// safe from it where they are written.
// Standard output is looked at before anything opens a descriptor, which
// could otherwise take its number.
int RunTerminalCrawl(int& argc, char** argv, const CrawlRequest& request) {
    const bool printsLines = !request.quiet && request.output != "-";
    if (printsLines && !StandardOutputOpen()) {
        std::fputs("torvesk: cannot print results lines: standard output is not open\n", stderr);
        return kRecordsLostExitCode;
    }
    std::variant<RecordTarget, std::string> records = RecordTargetFor(request);
    if (const std::string* why = std::get_if<std::string>(&records)) {
        std::fprintf(stderr, "torvesk: cannot write records to %s: %s\n",
                     request.output == "-" ? kStandardOutputName : request.output.c_str(),
                     why->c_str());
        return kRecordsLostExitCode;
    }
    StopSignals stops; // before any thread: every thread started later keeps them blocked
    QCoreApplication application(argc, argv);
    stops.listen();
    TerminalCrawl crawl(request, std::get<RecordTarget>(std::move(records)), stops);
    crawl.start();
    return QCoreApplication::exec();
}

} // namespace torvesk::cli
