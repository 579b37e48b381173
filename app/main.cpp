// Torvesk's main: the command line, then either a crawl without a window,
// on Qt Core alone, or the window program, which takes over this process.
#include "app/command_line.h"
#include "app/window_program.h"
#include "cli/terminal_crawl.h"

using namespace torvesk::engine;
using namespace torvesk::crawl;
using namespace torvesk::cli;
using namespace torvesk::app;

int main(int argc, char** argv) {
    const CommandLineAnswer answer = AnswerCommandLine(argc, argv);
    if (const int* exitCode = std::get_if<int>(&answer))
        return *exitCode;
    if (const CrawlRequest* crawl = std::get_if<CrawlRequest>(&answer))
        return RunTerminalCrawl(argc, argv, *crawl);
    return StartWindowProgram(argv);
}
