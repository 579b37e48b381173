// Reads the command line with QCommandLineParser. Qt's documented options are
// known to the parser, hidden from --help, so that they pass through to
// QApplication instead of counting as mistakes.
#include "shell/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

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
    "in the current directory.\n"
    "Qt's standard options, such as -platform, -style and -reverse, are passed on\n"
    "to Qt. See torvesk(1).";

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
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

int Print(std::FILE* stream, const QString& text, int exitCode) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    return exitCode;
}

int ReportMistake(const QString& mistake) {
    return Print(stderr, QStringLiteral("torvesk: %1 Try 'torvesk --help'.\n").arg(mistake),
                 kCommandLineMistakeExitCode);
}

} // namespace

std::optional<int> AnswerCommandLine(int& argc, char** argv) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    const QCommandLineOption help({"h", "help"}, QStringLiteral("Print this help and exit."));
    const QCommandLineOption version({"v", "version"},
                                     QStringLiteral("Print the version and exit."));
    parser.addOptions({help, version});
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
        return Print(stdout, parser.helpText(), 0);
    }
    if (parser.isSet(version))
        return Print(stdout, QStringLiteral("torvesk " TORVESK_VERSION "\n"), 0);
    return std::nullopt;
}
