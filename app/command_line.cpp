// Reads the command line with QCommandLineParser. Qt's documented options are
// known to the parser, hidden from --help, so that they pass through to
// QApplication instead of counting as mistakes. The arguments are read byte
// for byte (Latin-1 gives each byte a character of its own): the start
// address keeps its bytes, and a mistake is echoed as it was typed.
#include "app/command_line.h"

#include "engine/crawler.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <charconv>
#include <cstdio>
#include <ctime>
#include <limits>
#include <optional>

using namespace torvesk::cli;
using namespace torvesk::crawl;
using namespace torvesk::engine;

namespace torvesk::app {

namespace {

struct QtOption {
    const char* name;
    const char* valueName; // nullptr for an option without a value
};

// What QGuiApplication, QApplication and the X11 platform take out of argv.
constexpr QtOption kQtOptions[] = {
    {"platform", "name"},
    {"platformpluginpath", "path"},
    {"platformtheme", "name"},
    {"plugin", "name"},
    {"display", "display"},
    {"geometry", "geometry"},
    {"qwindowgeometry", "geometry"},
    {"qwindowicon", "file"},
    {"qwindowtitle", "title"},
    {"session", "id"},
    {"style", "style"},
    {"stylesheet", "file"},
    {"qmljsdebugger", "port"},
    {"widgetcount", nullptr},
    {"reverse", nullptr},
};

constexpr char kDescription[] =
    "Crawls the web from the address typed into its start dialog: shows one line\n"
    "for each page it visits and appends the page's address and title to URL.csv\n"
    "in the current directory. With --crawl it crawls from URL without a window,\n"
    "and prints each line on standard output.\n"
    "Qt's standard options, such as -platform, -style and -reverse, are passed on\n"
    "to the window's Qt. See torvesk(1).";

// The options of a crawl without a window.
struct CrawlOptions {
    QCommandLineOption crawl{
        "crawl", "Crawl from URL without a window or a display until no links are left.", "URL"};
    QCommandLineOption pages{"pages", "With --crawl: stop after N pages.", "N"};
    QCommandLineOption seed{"seed",
                            "With --crawl: seed the generator with S (0 to 4294967295) instead of "
                            "the clock's seconds. The seed is printed on standard error.",
                            "S"};
    QCommandLineOption output{"output",
                              "With --crawl: append the records to FILE instead of URL.csv; - "
                              "sends them to standard output, instead of the results lines.",
                              "FILE"};
    QCommandLineOption interval{"interval",
                                "With --crawl: the tick in milliseconds (0 to 3600000; 100 unless "
                                "given); 0 visits the next page as soon as one is done.",
                                "MS"};
    QCommandLineOption quiet{"quiet", "With --crawl: print neither results lines nor progress."};

    // Those that only a crawl takes.
    QList<const QCommandLineOption*> crawlOnly() const {
        return {&pages, &seed, &output, &interval, &quiet};
    }
    QList<const QCommandLineOption*> all() const {
        return {&crawl, &pages, &seed, &output, &interval, &quiet};
    }
};

void AddQtOptions(QCommandLineParser& parser) {
    for (const QtOption& qt : kQtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name));
        if (qt.valueName != nullptr)
            option.setValueName(QString::fromLatin1(qt.valueName));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

QStringList ArgumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLatin1(argv[i]));
    return arguments;
}

int Print(std::FILE* stream, const QByteArray& text, int exitCode) {
    std::fputs(text.constData(), stream);
    return exitCode;
}

int ReportMistake(const QString& mistake) {
    return Print(stderr,
                 QStringLiteral("torvesk: %1 Try 'torvesk --help'.\n").arg(mistake).toLatin1(),
                 kCommandLineMistakeExitCode);
}

// text as a whole number from low to high, in decimal digits alone.
std::optional<std::uint64_t> NumberIn(const QString& text, std::uint64_t low, std::uint64_t high) {
    const QByteArray digits = text.toLatin1();
    std::uint64_t number = 0;
    const auto [end, error] = std::from_chars(digits.cbegin(), digits.cend(), number);
    if (digits.isEmpty() || error != std::errc() || end != digits.cend() || number < low ||
        number > high)
        return std::nullopt;
    return number;
}

// The number given with option, or nothing when it was not given; a value
// that is not a number from low to high is a mistake, said in mistake.
std::optional<std::uint64_t> NumberOf(const QCommandLineParser& parser,
                                      const QCommandLineOption& option, std::uint64_t low,
                                      std::uint64_t high, QString& mistake) {
    if (!parser.isSet(option))
        return std::nullopt;
    const QString text = parser.value(option);
    const std::optional<std::uint64_t> number = NumberIn(text, low, high);
    if (!number)
        mistake = QStringLiteral("--%1 takes a whole number from %2 to %3, not '%4'.")
                      .arg(option.names().first())
                      .arg(low)
                      .arg(high)
                      .arg(text);
    return number;
}

// "-x" or "--x"; "-" alone is standard output and "-1" a number.
bool LooksLikeOption(const QString& value) {
    return value.size() > 1 && value[0] == u'-' && (value[1] == u'-' || value[1].isLetter());
}

// An option given twice, or a value that is an option itself (as in
// "--crawl --pages 5"), says the command line is not what was meant.
std::optional<QString> SlipIn(const QCommandLineParser& parser, const CrawlOptions& options) {
    for (const QCommandLineOption* option : options.all()) {
        const QString name = option->names().first();
        if (parser.optionNames().count(name) > 1)
            return QStringLiteral("--%1 is given more than once.").arg(name);
        for (const QString& value : parser.values(*option))
            if (LooksLikeOption(value))
                return QStringLiteral("--%1 takes %2, not the option '%3'.")
                    .arg(name, option->valueName(), value);
    }
    return std::nullopt;
}

// The crawl the options ask for, or the mistake in them.
std::variant<CrawlRequest, QString> CrawlAskedFor(const QCommandLineParser& parser,
                                                  const CrawlOptions& options) {
    CrawlRequest request;
    request.url = parser.value(options.crawl).toLatin1().toStdString();
    if (request.url.empty())
        return QStringLiteral("--crawl takes an address to start from.");
    if (request.url.size() >= kUrlCapacity)
        return QStringLiteral("--crawl takes an address of at most %1 bytes, not %2.")
            .arg(kUrlCapacity - 1)
            .arg(request.url.size());
    QString mistake;
    request.pages =
        NumberOf(parser, options.pages, 1, std::numeric_limits<std::uint64_t>::max(), mistake);
    // The clock's seconds unless the seed is given.
    request.seed = static_cast<std::uint32_t>(
        NumberOf(parser, options.seed, 0, std::numeric_limits<std::uint32_t>::max(), mistake)
            .value_or(static_cast<std::uint64_t>(std::time(nullptr))));
    if (const auto interval = NumberOf(parser, options.interval, 0, kMaxIntervalMs, mistake))
        request.intervalMs = static_cast<int>(*interval);
    if (parser.isSet(options.output))
        request.output = parser.value(options.output).toLatin1().toStdString();
    if (request.output.empty())
        mistake = QStringLiteral("--output takes a file name, or - for standard output.");
    request.quiet = parser.isSet(options.quiet);
    if (!mistake.isEmpty())
        return mistake;
    return request;
}

// The window, or the mistake of an option that only a crawl takes.
CommandLineAnswer WindowOrMistake(const QCommandLineParser& parser, const CrawlOptions& options) {
    for (const QCommandLineOption* option : options.crawlOnly())
        if (parser.isSet(*option))
            return ReportMistake(
                QStringLiteral("--%1 goes with --crawl.").arg(option->names().first()));
    return OpenWindow{};
}

} // namespace

CommandLineAnswer AnswerCommandLine(int& argc, char** argv) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    const QCommandLineOption help({"h", "help"}, QStringLiteral("Print this help and exit."));
    const QCommandLineOption version({"v", "version"},
                                     QStringLiteral("Print the version and exit."));
    const CrawlOptions crawl;
    parser.addOptions({help, version, crawl.crawl});
    for (const QCommandLineOption* option : crawl.crawlOnly())
        parser.addOption(*option);
    AddQtOptions(parser);
    if (!parser.parse(ArgumentsOf(argc, argv)))
        return ReportMistake(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return ReportMistake(
            QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    if (parser.isSet(help)) {
        // The usage line names the program as it was started, which Qt reads
        // from an application object; this one needs no display.
        const QCoreApplication named(argc, argv);
        return Print(stdout, parser.helpText().toLocal8Bit(), 0);
    }
    if (parser.isSet(version))
        return Print(stdout, "torvesk " TORVESK_VERSION "\n", 0);
    if (const std::optional<QString> slip = SlipIn(parser, crawl))
        return ReportMistake(*slip);
    if (!parser.isSet(crawl.crawl))
        return WindowOrMistake(parser, crawl);
    std::variant<CrawlRequest, QString> request = CrawlAskedFor(parser, crawl);
    if (const QString* mistake = std::get_if<QString>(&request))
        return ReportMistake(*mistake);
    return std::get<CrawlRequest>(std::move(request));
}

} // namespace torvesk::app
