// The real program's command line, run with no display at all, as over ssh
// without X: --help and --version answer, a mistake is one line on standard
// error and exit code 2, Qt's own options still reach Qt, and --crawl
// crawls without a window: its lines, its records, its ending and its exit
// status.
#include "app/command_line.h"
#include "cli/terminal_crawl.h"

#include "engine/crawler.h"
#include "support/cp932_reference.h"
#include "support/csv_reader.h"
#include "support/program_run.h"
#include "support/temp_dir.h"
#include "support/test_site.h"

#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <pty.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

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

// The lines on standard output, the seed and a summary on standard error,
// the records in URL.csv in the working directory; with --quiet and
// --output -, on the default tick, the same records on standard output and
// nothing but the seed.
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
    EXPECT_EQ(quiet.err, "torvesk: seed 4294967295\n");
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

// Standard error a terminal: the progress line is drawn while a page is held
// at the server, and the fetcher's failure line, written by another thread,
// comes out whole on a line of its own, as does the summary at the end.
TEST(CommandLineTest, TheProgressLineOnATerminalTearsNoOtherLine) {
    const std::string failure = "torvesk: fetching http://127.0.0.1:1/x/ failed: could not connect";
    TestSite site;
    site.AddPage("/", "Start", {{"/held/", "held"}});
    site.AddRaw("/held/", "<title>Held</title><a href=\"http://127.0.0.1:1/x/\">x</a>");
    site.CloseGate();
    site.LetThrough();
    int master = -1, terminal = -1;
    ASSERT_EQ(::openpty(&master, &terminal, nullptr, nullptr, nullptr), 0);
    ::fcntl(master, F_SETFL, O_NONBLOCK);
    QProcess process;
    StartWithoutDisplay(process, {"--crawl", Q(site.Url("/")), "--interval", "0", "--output", "-"},
                        {}, [master, terminal] {
                            ::dup2(terminal, STDERR_FILENO);
                            ::close(terminal);
                            ::close(master);
                        });
    ::close(terminal);
    QByteArray shown;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            ReadTerminal(master, shown);
            return shown.contains(" pages/s, ");
        },
        kWaitMs));
    site.LetThrough();
    const Finished crawl = WaitForExit(process);
    ReadTerminal(master, shown);
    ::close(master);

    EXPECT_EQ(crawl.exitCode, 0);
    const QList<QByteArray> lines = LinesShown(shown);
    EXPECT_TRUE(lines.contains(QByteArray::fromStdString(failure))) << shown.toStdString();
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(
        lines[lines.size() - 2].startsWith("torvesk: 3 pages (1 failed, 0 HTTP errors) in "))
        << shown.toStdString();
}

// No file to write to at all: nothing is fetched. A FIFO that nobody reads
// loses each record, as in the window, and the crawl goes on. Standard
// output that nobody reads ends the crawl, at the first record lost there
// or the first results line.
TEST(CommandLineTest, RecordsThatCannotBeWrittenGiveExitCodeOne) {
    TestSite site;
    AddThreePages(site);
    TempDir dir;
    const QStringList crawl = {"--crawl", Q(site.Url("/")), "--interval", "0", "--quiet"};
    const Finished nowhere =
        RunWithoutDisplay(crawl + QStringList{"--output", Q(dir.File("no/URL.csv"))});
    EXPECT_EQ(nowhere.exitCode, kRecordsLostExitCode);
    EXPECT_TRUE(nowhere.err.endsWith(": No such file or directory\n")) << nowhere.err.toStdString();
    EXPECT_EQ(site.RequestCount(), 0u);

    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    const Finished unread = RunWithoutDisplay(crawl + QStringList{"--output", Q(dir.File("fifo"))});
    EXPECT_EQ(unread.exitCode, kRecordsLostExitCode);
    EXPECT_EQ(site.RequestCount(), 3u);
    EXPECT_TRUE(unread.err.endsWith("torvesk: 3 records not written\n"))
        << unread.err.toStdString();

    site.AddLinkedPages({{"/loop/", {"/loop/"}}});
    for (const auto& [output, why] :
         {std::pair{QStringList{"--output", "-"}, "standard output took no more records\n"},
          std::pair{QStringList{"--output", Q(dir.File("URL.csv"))},
                    "standard output was closed\n"}}) {
        QProcess process;
        StartWithoutDisplay(
            process, QStringList{"--crawl", Q(site.Url("/loop/")), "--interval", "0"} + output, {},
            [] {
                int ends[2]; // standard output whose reader has gone
                if (::pipe(ends) != 0)
                    return;
                ::dup2(ends[1], STDOUT_FILENO);
                ::close(ends[0]);
                ::close(ends[1]);
            });
        const Finished gone = WaitForExit(process);
        EXPECT_EQ(gone.status, QProcess::NormalExit);
        EXPECT_EQ(gone.exitCode, kRecordsLostExitCode);
        EXPECT_TRUE(gone.err.endsWith(why)) << gone.err.toStdString();
    }
}

} // namespace
