// The real program's command line, run with no display at all, as over ssh
// without X: --help and --version answer, a mistake is one line on standard
// error and exit code 2, Qt's own options still reach Qt, and --crawl
// crawls without a window: its lines, its records, its ending and its exit
// status.
#include "app/command_line.h"
#include "cli/standard_output.h"
#include "cli/terminal_crawl.h"

#include "engine/crawler.h"
#include "support/cp932_reference.h"
#include "support/csv_reader.h"
#include "support/program_run.h"
#include "support/temp_dir.h"
#include "support/test_site.h"

#include <QTest>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <pty.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using namespace torvesk::engine;
using namespace torvesk::crawl;
using namespace torvesk::cli;
using namespace torvesk::app;

namespace {

constexpr int kWaitMs = 10000; // for what takes a few pages at most

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

TEST(CommandLineTest, HelpAndVersionAnswerWithoutADisplay) {
    const QByteArray version = "torvesk " TORVESK_VERSION "\n";
    // Qt's options beside them are accepted, not answered.
    for (const QStringList& arguments : QList<QStringList>{
             {"--help"}, {"-h"}, {"--version"}, {"-style", "fusion", "-reverse", "-v"}}) {
        const Finished run = RunWithoutDisplay(arguments);
        EXPECT_EQ(run.status, QProcess::NormalExit);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.err, QByteArray());
        EXPECT_TRUE(run.out == version ||
                    (run.out.startsWith("Usage: " TORVESK_PROGRAM) &&
                     run.out.contains("--version") && run.out.contains("--crawl <URL>")))
            << run.out.toStdString();
    }
}

// Each mistake, and the name the line must hold.
TEST(CommandLineTest, AMistakeIsOneLineAndExitCodeTwo) {
    const QString url = QStringLiteral("http://a.example/");
    const std::vector<std::pair<QStringList, QByteArray>> mistakes = {
        {{"--no-such-option"}, "no-such-option"},
        {{"http://example.com/"}, "http://example.com/"},
        {{"--help", "-style"}, "style"},
        {{"--pages", "5"}, "--pages"},
        {{"--quiet"}, "--quiet"},
        {{"--crawl"}, "crawl"},
        {{"--crawl", ""}, "--crawl"},
        {{"--crawl", QString(kUrlCapacity, u'a')}, "--crawl"},
        {{"--crawl", url, "--pages", "0"}, "--pages"},
        {{"--crawl", url, "--pages", "2x"}, "--pages"},
        {{"--crawl", url, "--pages", "18446744073709551616"}, "--pages"},
        {{"--crawl", url, "--seed", "4294967296"}, "--seed"},
        {{"--crawl", url, "--seed", "-1"}, "--seed"},
        {{"--crawl", url, "--interval", "3600001"}, "--interval"},
        {{"--crawl", url, "--interval", " 5"}, "--interval"},
        {{"--crawl", url, "--output", ""}, "--output"},
        {{"--crawl", "--pages", "--seed", "1"}, "--pages"},
        {{"--crawl", url, "--output", "--quiet"}, "--quiet"},
        {{"--crawl", url, "--quiet", "--quiet"}, "--quiet"},
        {{"--crawl", url, "--crawl", url}, "--crawl"},
        {{"--crawl", url, "--pages", "1", "--pages", "2"}, "--pages"},
    };
    for (const auto& [arguments, named] : mistakes) {
        const Finished run = RunWithoutDisplay(arguments);
        EXPECT_EQ(run.status, QProcess::NormalExit);
        EXPECT_EQ(run.exitCode, kCommandLineMistakeExitCode) << run.err.toStdString();
        EXPECT_EQ(run.out, QByteArray());
        EXPECT_TRUE(run.err.startsWith("torvesk: ") && run.err.count('\n') == 1 &&
                    run.err.endsWith('\n') && run.err.contains(named))
            << run.err.toStdString();
    }
}

// Without arguments, and with Qt's options, the program goes on to Qt, which
// here cannot open a window: it aborts, naming what it could not open.
TEST(CommandLineTest, QtGetsTheWindowSystemAndItsOptions) {
    const Finished plain = RunWithoutDisplay({});
    EXPECT_EQ(plain.status, QProcess::CrashExit);
    EXPECT_TRUE(plain.err.contains("display")) << plain.err.toStdString();
    const Finished platform = RunWithoutDisplay({"-style=fusion", "-platform", "no-such-platform"});
    EXPECT_EQ(platform.status, QProcess::CrashExit);
    EXPECT_TRUE(platform.err.contains("\"no-such-platform\"")) << platform.err.toStdString();
}

// Three pages in a row, then no link: a title in code page 932 across a
// line break, and one that would give orders to a terminal.
void AddThreePages(TestSite& site) {
    site.AddPage("/", Utf8ToCp932("日本") + "\r\n" + "語", {{"/esc/", "次"}});
    site.AddPage("/esc/",
                 "\x1b]0;owned\x07 \xc2\x9b"
                 "2J",
                 {{"/end/", "end"}});
    site.AddPage("/end/", "End", {});
}

// A chain of pages /0/ to /count - 1/, each titled title and its path, each
// linking to the next.
void AddChain(TestSite& site, std::size_t count, const std::string& title) {
    for (std::size_t page = 0; page < count; ++page)
        site.AddPage("/" + std::to_string(page) + "/", title + std::to_string(page),
                     {{"/" + std::to_string(page + 1) + "/", "next"}});
}

// The lines on standard output, the seed and a summary on standard error,
// the records in URL.csv in the working directory; with --quiet and
// --output -, on the default tick, the same records on standard output and
// nothing at all on standard error.
TEST(CommandLineTest, ACrawlPrintsItsLinesAndEndsWhenNoLinksAreLeft) {
    TestSite site;
    AddThreePages(site);
    TempDir dir;
    const Finished crawl =
        RunWithoutDisplay({"--crawl", Q(site.Url("/")), "--interval", "0"}, Q(dir.path().string()));
    EXPECT_EQ(crawl.exitCode, 0) << crawl.err.toStdString();
    EXPECT_EQ(crawl.out.toStdString(),
              "0: URL:" + site.Url("/") + " TITLE:日本  語 KEY:スタートページ\n" +
                  "0: URL:" + site.Url("/esc/") + " TITLE:\uFFFD]0;owned\uFFFD \uFFFD2J KEY:次\n" +
                  "0: URL:" + site.Url("/end/") + " TITLE:End KEY:end\n");
    const QList<QByteArray> said = crawl.err.split('\n');
    ASSERT_EQ(said.size(), 3) << crawl.err.toStdString();
    EXPECT_TRUE(said[0].startsWith("torvesk: seed ") && said[0].mid(14).toULongLong() > 0);
    EXPECT_TRUE(said[1].startsWith("torvesk: 3 pages (0 failed, 0 HTTP errors) in ") &&
                said[1].endsWith(", 3 records written, 0 not written; no links left"))
        << said[1].toStdString();
    const std::string records = ReadWholeFile(dir.File(kResultLogName));
    EXPECT_EQ(ParseCsv(records).size(), 3u);

    const Finished quiet = RunWithoutDisplay(
        {"--crawl", Q(site.Url("/")), "--quiet", "--output", "-", "--seed", "4294967295"},
        Q(dir.path().string()));
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.out.toStdString(), records);
    EXPECT_EQ(quiet.err, QByteArray());
    EXPECT_EQ(ReadWholeFile(dir.File(kResultLogName)), records) << "URL.csv was written";
}

// SIGINT or SIGTERM while a page is held at the server: the page in flight
// has no record and no line, every finished page has its record whole.
TEST(CommandLineTest, AStopSignalLeavesTheFinishedRecordsWhole) {
    constexpr std::size_t kFinished = 3;
    for (const auto& [signal, exitCode, why] :
         {std::tuple{SIGINT, 130, "interrupted"}, std::tuple{SIGTERM, 143, "terminated"}}) {
        TestSite site;
        site.AddLinkedPages({{"/", {"/a/", "/b/"}}, {"/a/", {"/", "/b/"}}, {"/b/", {"/a/"}}});
        site.CloseGate();
        for (std::size_t page = 0; page < kFinished; ++page)
            site.LetThrough();
        TempDir dir;
        QProcess process;
        StartWithoutDisplay(process, {"--crawl", Q(site.Url("/")), "--interval", "0", "--output",
                                      Q(dir.File("URL.csv"))});
        ASSERT_TRUE(QTest::qWaitFor([&] { return site.RequestCount() > kFinished; }, kWaitMs));
        ::kill(static_cast<pid_t>(process.processId()), signal);
        const Finished stopped = WaitForExit(process);

        EXPECT_EQ(stopped.status, QProcess::NormalExit);
        EXPECT_EQ(stopped.exitCode, exitCode) << stopped.err.toStdString();
        EXPECT_EQ(stopped.out.count('\n'), kFinished);
        const std::string records = ReadWholeFile(dir.File("URL.csv"));
        EXPECT_EQ(ParseCsv(records).size(), kFinished);
        EXPECT_TRUE(records.ends_with("\r\n"));
        EXPECT_TRUE(
            stopped.err.endsWith("3 records written, 0 not written; " + QByteArray(why) + "\n"))
            << stopped.err.toStdString();
    }
}

// Reads what the terminal at master has received so far into text.
void ReadTerminal(int master, QByteArray& text) {
    char bytes[4096];
    ssize_t n;
    while ((n = ::read(master, bytes, sizeof bytes)) > 0)
        text.append(bytes, n);
}

// The lines a terminal shows for text, each as it stands after its last erase.
QList<QByteArray> LinesShown(const QByteArray& text) {
    QList<QByteArray> lines;
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        const qsizetype erased = line.lastIndexOf("\r\033[K");
        lines << (erased < 0 ? line : line.mid(erased + 4));
    }
    return lines;
}

// Puts the file at path in place of the child's descriptor fd.
void Redirect(const char* path, int flags, int fd) {
    const int opened = ::open(path, flags);
    if (opened >= 0 && opened != fd) {
        ::dup2(opened, fd);
        ::close(opened);
    }
}

// A pseudo-terminal whose other side becomes a child's standard error.
class Terminal {
public:
    Terminal() {
        EXPECT_EQ(::openpty(&master_, &side_, nullptr, nullptr, nullptr), 0);
        ::fcntl(master_, F_SETFL, O_NONBLOCK);
    }
    ~Terminal() { ::close(master_); }

    // Runs in the child: standard error the terminal, and standard output
    // /dev/null when it is not to stay the test's pipe.
    std::function<void()> inChild(bool outputToNull) const {
        return [master = master_, side = side_, outputToNull] {
            ::dup2(side, STDERR_FILENO);
            ::close(side);
            ::close(master);
            if (outputToNull)
                Redirect("/dev/null", O_WRONLY, STDOUT_FILENO);
        };
    }
    // Once the child has started: only the child holds the other side.
    void started() { ::close(std::exchange(side_, -1)); }
    // All the terminal has received so far.
    const QByteArray& shown() {
        ReadTerminal(master_, shown_);
        return shown_;
    }

private:
    int master_ = -1;
    int side_ = -1;
    QByteArray shown_;
};

// Standard error a terminal: the progress line is drawn while a page is held
// at the server, and the fetcher's failure line, written by another thread,
// comes out whole on a line of its own, before the results line of its
// page, as does the summary at the end.
TEST(CommandLineTest, TheProgressLineOnATerminalTearsNoOtherLine) {
    const std::string failure = "torvesk: fetching http://127.0.0.1:1/x/ failed: could not connect";
    TestSite site;
    site.AddPage("/", "Start", {{"/held/", "held"}});
    site.AddRaw("/held/", "<title>Held</title><a href=\"http://127.0.0.1:1/x/\">x</a>");
    site.CloseGate();
    site.LetThrough();
    Terminal terminal;
    QProcess process;
    StartWithoutDisplay(process, {"--crawl", Q(site.Url("/")), "--interval", "0", "--output", "-"},
                        {}, terminal.inChild(true));
    terminal.started();
    EXPECT_TRUE(QTest::qWaitFor([&] { return terminal.shown().contains(" pages/s, "); }, kWaitMs));
    site.LetThrough();
    const Finished crawl = WaitForExit(process);

    EXPECT_EQ(crawl.exitCode, 0);
    const QByteArray& shown = terminal.shown();
    const QList<QByteArray> lines = LinesShown(shown);
    EXPECT_TRUE(lines.contains(QByteArray::fromStdString(failure))) << shown.toStdString();
    EXPECT_TRUE(shown.contains("1 page, 0 failed, ")) << shown.toStdString();
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(
        lines[lines.size() - 2].startsWith("torvesk: 3 pages (1 failed, 0 HTTP errors) in "))
        << shown.toStdString();
}

// Three pages a tick of 150 ms apart take longer than a redraw period, yet
// no progress is drawn where it is no terminal's foot line: standard error
// a pipe, or standard output a pipe whose text a program such as cat may
// bring to the same terminal, where the line would glue onto it.
TEST(CommandLineTest, TheProgressLineIsDrawnOnlyAtATerminalsFoot) {
    TestSite site;
    AddThreePages(site);
    TempDir dir;
    const QStringList crawl = {"--crawl", Q(site.Url("/")), "--interval",
                               "150",     "--output",       Q(dir.File("URL.csv"))};
    QProcess errorOnPipe;
    StartWithoutDisplay(errorOnPipe, crawl, {},
                        [] { Redirect("/dev/null", O_WRONLY, STDOUT_FILENO); });
    const Finished piped = WaitForExit(errorOnPipe);
    EXPECT_EQ(piped.exitCode, 0);
    EXPECT_EQ(piped.err.count('\n'), 2) << piped.err.toStdString();
    EXPECT_FALSE(piped.err.contains("pages/s") || piped.err.contains('\r'))
        << piped.err.toStdString();

    Terminal terminal;
    QProcess outputOnPipe;
    StartWithoutDisplay(outputOnPipe, crawl, {}, terminal.inChild(false));
    terminal.started();
    const Finished lines = WaitForExit(outputOnPipe);
    EXPECT_EQ(lines.exitCode, 0);
    EXPECT_EQ(lines.out.count('\n'), 3);
    EXPECT_TRUE(terminal.shown().contains("torvesk: 3 pages (0 failed, 0 HTTP errors) in "));
    EXPECT_FALSE(terminal.shown().contains("pages/s")) << terminal.shown().toStdString();
}

// No file to write to at all: nothing is fetched, and standard output
// closed is named as such. A FIFO that nobody reads loses each record, as
// in the window, and the crawl goes on. A full device that refuses results
// lines or records ends the crawl and says why.
TEST(CommandLineTest, RecordsThatCannotBeWrittenGiveExitCodeOne) {
    TestSite site;
    AddThreePages(site);
    TempDir dir;
    const QStringList crawl = {"--crawl", Q(site.Url("/")), "--interval", "0", "--quiet"};
    const Finished nowhere =
        RunWithoutDisplay(crawl + QStringList{"--output", Q(dir.File("no/URL.csv"))});
    EXPECT_EQ(nowhere.exitCode, kRecordsLostExitCode);
    EXPECT_TRUE(nowhere.err.endsWith(": No such file or directory\n")) << nowhere.err.toStdString();
    for (const QStringList& output : {QStringList{"--output", "-"}, QStringList{}}) {
        QProcess process;
        StartWithoutDisplay(process, QStringList{"--crawl", Q(site.Url("/"))} + output, {},
                            [] { ::close(STDOUT_FILENO); });
        const Finished closed = WaitForExit(process);
        EXPECT_EQ(closed.exitCode, kRecordsLostExitCode);
        EXPECT_TRUE(closed.err.endsWith("standard output: it is not open\n") ||
                    closed.err.endsWith(": standard output is not open\n"))
            << closed.err.toStdString();
    }
    EXPECT_EQ(site.RequestCount(), 0u);

    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    const Finished unread = RunWithoutDisplay(crawl + QStringList{"--output", Q(dir.File("fifo"))});
    EXPECT_EQ(unread.exitCode, kRecordsLostExitCode);
    EXPECT_EQ(site.RequestCount(), 3u);
    EXPECT_TRUE(unread.err.endsWith("torvesk: 3 records not written\n"))
        << unread.err.toStdString();

    for (const auto& [output, why] :
         {std::pair{QStringList{"--output", "-"}, "standard output took no more records\n"},
          std::pair{QStringList{"--output", Q(dir.File("URL.csv"))},
                    "standard output took no more results lines: No space left on device\n"}}) {
        QProcess process;
        StartWithoutDisplay(process, QStringList{"--crawl", Q(site.Url("/"))} + output, {},
                            [] { Redirect("/dev/full", O_WRONLY, STDOUT_FILENO); });
        const Finished full = WaitForExit(process);
        EXPECT_EQ(full.exitCode, kRecordsLostExitCode);
        EXPECT_TRUE(full.err.endsWith(why)) << full.err.toStdString();
    }
}

// Nothing could be fetched: exit status 4, and the failure line comes
// before the results line of its page.
TEST(CommandLineTest, ACrawlThatFetchedNothingGivesExitCodeFour) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    StartWithoutDisplay(process, {"--crawl", "http://127.0.0.1:1/", "--seed", "7"});
    const Finished crawl = WaitForExit(process);
    EXPECT_EQ(crawl.exitCode, kNothingFetchedExitCode);
    const QList<QByteArray> lines = crawl.out.split('\n');
    ASSERT_EQ(lines.size(), 5) << crawl.out.toStdString();
    EXPECT_EQ(lines[0], "torvesk: seed 7");
    EXPECT_EQ(lines[1], "torvesk: fetching http://127.0.0.1:1/ failed: could not connect");
    EXPECT_TRUE(lines[2].startsWith("0: URL:http://127.0.0.1:1/ TITLE: KEY:"));
    EXPECT_TRUE(lines[3].startsWith("torvesk: 1 page (1 failed, 0 HTTP errors) in "));
}

// Appends what fd holds now (all it will hold, when it blocks) to text;
// returns whether fd has ended.
bool ReadSoFar(int fd, QByteArray& text) {
    char bytes[4096];
    for (;;) {
        const ssize_t n = ::read(fd, bytes, sizeof bytes);
        if (n <= 0)
            return n == 0;
        text.append(bytes, n);
    }
}

// A FIFO that cat reads, waiting for a writer, gets every record in one
// stream; so does a socket as standard output with --output -, which is
// written as inherited and never opened again.
TEST(CommandLineTest, RecordsReachAFifoAndASocketWhole) {
    TestSite site;
    AddThreePages(site);
    TempDir dir;
    const QStringList crawl = {"--crawl", Q(site.Url("/")), "--interval", "0", "--quiet"};
    const Finished file =
        RunWithoutDisplay(crawl + QStringList{"--output", Q(dir.File("URL.csv"))});
    const QByteArray records = QByteArray::fromStdString(ReadWholeFile(dir.File("URL.csv")));
    ASSERT_EQ(file.exitCode, 0);
    ASSERT_EQ(ParseCsv(records.toStdString()).size(), 3u);

    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    QProcess cat;
    cat.start(QStringLiteral("cat"), {Q(dir.File("fifo"))});
    const QString wchan = QStringLiteral("/proc/%1/wchan").arg(cat.processId());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return ReadWholeFile(wchan.toStdString()) == "wait_for_partner"; }, kWaitMs));
    const Finished toFifo = RunWithoutDisplay(crawl + QStringList{"--output", Q(dir.File("fifo"))});
    EXPECT_EQ(toFifo.exitCode, 0) << toFifo.err.toStdString();
    EXPECT_TRUE(cat.waitForFinished(kWaitMs));
    EXPECT_EQ(cat.readAllStandardOutput(), records);

    int ends[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0);
    QProcess process;
    StartWithoutDisplay(process, crawl + QStringList{"--output", "-"}, {},
                        [child = ends[1]] { ::dup2(child, STDOUT_FILENO); });
    ::close(ends[1]);
    QByteArray received;
    ReadSoFar(ends[0], received); // a blocking read, to the end
    ::close(ends[0]);
    const Finished toSocket = WaitForExit(process);
    EXPECT_EQ(toSocket.exitCode, 0) << toSocket.err.toStdString();
    EXPECT_EQ(received, records);
}

// Standard output's reader goes away (| head -3) while the next page is
// held at the server: the crawl ends at once, without a word, as SIGPIPE
// ends a Unix tool (status 141 in a shell), and the records of the pages
// it finished are in their file.
TEST(CommandLineTest, AReaderThatGoesAwayEndsTheCrawlAtOnceAndQuietly) {
    TestSite site;
    AddChain(site, 5, "T");
    site.CloseGate();
    for (int page = 0; page < 3; ++page)
        site.LetThrough();
    TempDir dir;
    QProcess shell;
    shell.start(QStringLiteral("bash"),
                {"-c", "set -o pipefail; \"$0\" \"$@\" | head -3", TORVESK_PROGRAM, "--crawl",
                 Q(site.Url("/0/")), "--interval", "0", "--output", Q(dir.File("URL.csv"))});
    ASSERT_TRUE(shell.waitForFinished(kWaitMs)) << "the held page was waited for";
    EXPECT_EQ(shell.exitCode(), kReaderGoneExitCode);
    const QByteArray lines = shell.readAllStandardOutput();
    EXPECT_EQ(lines.count('\n'), 3) << lines.toStdString();
    const QByteArray said = shell.readAllStandardError();
    EXPECT_TRUE(said.startsWith("torvesk: seed ") && said.count('\n') == 1) << said.toStdString();
    EXPECT_EQ(ParseCsv(ReadWholeFile(dir.File("URL.csv"))).size(), 3u);
}

// A stop while the records wait for a slow FIFO (a reader that takes
// nothing yet, its pipe shrunk to one page): the crawl waits for them, and
// every finished page's record reaches the reader once it reads.
TEST(CommandLineTest, AStopWaitsForTheRecordsQueuedForASlowFile) {
    constexpr std::size_t kFinished = 40; // records of over 200 bytes: twice the pipe
    TestSite site;
    AddChain(site, kFinished + 1, std::string(190, 't')); // a title of under 200 bytes is taken
    site.CloseGate();
    for (std::size_t page = 0; page < kFinished; ++page)
        site.LetThrough();
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    const int reader = ::open(dir.File("fifo").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    ASSERT_GE(::fcntl(reader, F_SETPIPE_SZ, 4096), 4096);
    QProcess process;
    StartWithoutDisplay(process, {"--crawl", Q(site.Url("/0/")), "--interval", "0", "--output",
                                  Q(dir.File("fifo"))});
    ASSERT_TRUE(QTest::qWaitFor([&] { return site.RequestCount() > kFinished; }, kWaitMs));
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    // A slow reader: a pipe's worth at each look, so that the records take
    // several looks, while a summary that did not wait for them would say
    // so at once. The FIFO ends once the program, its one writer, has gone.
    QByteArray received;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            char bytes[4096];
            const ssize_t n = ::read(reader, bytes, sizeof bytes);
            if (n > 0)
                received.append(bytes, n);
            return n == 0;
        },
        kWaitMs));
    ::close(reader);
    const Finished stopped = WaitForExit(process);
    EXPECT_EQ(stopped.exitCode, 130) << stopped.err.toStdString();
    EXPECT_EQ(ParseCsv(received.toStdString()).size(), kFinished);
    EXPECT_TRUE(stopped.err.endsWith("40 records written, 0 not written; interrupted\n"))
        << stopped.err.toStdString();
}

} // namespace
