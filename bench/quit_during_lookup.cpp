// How long the process takes to exit when it quits during a slow name
// lookup: a child process (this program, with the slow-lookup resolver
// preloaded) starts a crawl of a host whose lookup takes 5 s (or as long as
// asked), "answers Yes" half a second later (or when asked) as the quit
// question's Yes does (cancel the fetch, leave the event loop, let the
// runner go), and the parent times from that Yes to the child's exit. Then
// one more child fetches that host with the program's own bounds and says
// when the fetch ended, and why.
// Usage: quit_during_lookup [runs] [lookup seconds] [seconds before Yes]
// (3 runs, 5 s, 0.5 s by default).
#include "crawl/crawl_runner.h"
#include "engine/page_fetcher.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace torvesk::engine;
using namespace torvesk::crawl;

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kQuitFlag = "--quit";
constexpr const char* kFetchFlag = "--fetch";
constexpr int kDefaultRuns = 3;
constexpr const char* kDefaultLookupSeconds = "5";
constexpr const char* kDefaultYesAfterSeconds = "0.5";

std::string SlowHostUrl(const char* seconds) {
    return "http://slow-" + std::to_string(std::atoi(seconds) * 1000) + ".test/";
}

// A child: what the program does from "解析スタート" to Yes and its exit;
// argv holds the lookup's and the Yes's seconds.
int QuitDuringLookup(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTemporaryDir dir;
    CrawlRunner runner(dir.filePath("URL.csv").toStdString(), 1);
    runner.setStartUrl(SlowHostUrl(argv[2]));
    runner.startCrawl();
    QTimer::singleShot(static_cast<int>(std::atof(argv[3]) * 1000), [&runner] {
        std::fputc('y', stdout);
        std::fflush(stdout);
        runner.cancelFetch();
        QCoreApplication::quit();
    });
    return QCoreApplication::exec();
}

// A child: one fetch of the slow host with the program's bounds, timed.
int FetchDuringLookup(const char* seconds) {
    const std::atomic<bool> noCancel = false;
    PageFetcher fetcher;
    const auto start = Clock::now();
    fetcher.FetchPage(SlowHostUrl(seconds), noCancel);
    std::printf("quit_during_lookup: a fetch during a name lookup of %s s ended after %.2f s\n",
                seconds, std::chrono::duration<double>(Clock::now() - start).count());
    return 0;
}

// This program again, as a child with the slow resolver, given mode and the
// lookup's and the Yes's seconds, its standard output going to output; the
// child's pid, or -1.
pid_t SpawnChild(const char* mode, const char* seconds, const char* yesAfter, int output) {
    char self[] = "/proc/self/exe";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    char preload[] = "LD_PRELOAD=" TORVESK_SLOW_LOOKUP_LIBRARY;
    char noProxy[] = "no_proxy=*";
    char* childArgs[] = {self, const_cast<char*>(mode), const_cast<char*>(seconds),
                         const_cast<char*>(yesAfter), nullptr};
    char* childEnvironment[] = {preload, noProxy, nullptr};
    pid_t child = 0;
    const bool spawned =
        posix_spawn(&child, self, &actions, nullptr, childArgs, childEnvironment) == 0;
    posix_spawn_file_actions_destroy(&actions);
    return spawned ? child : -1;
}

bool ExitedCleanly(pid_t child) {
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// Runs a quitting child; returns the seconds from its Yes to its exit, or -1.
double TimeOneQuit(const char* seconds, const char* yesAfter) {
    int pipe[2];
    if (::pipe(pipe) != 0)
        return -1;
    const pid_t child = SpawnChild(kQuitFlag, seconds, yesAfter, pipe[1]);
    const bool spawned = child > 0;
    ::close(pipe[1]);
    char yes = 0;
    const bool answered = spawned && ::read(pipe[0], &yes, 1) == 1;
    const auto saidYes = Clock::now();
    const bool exited = ExitedCleanly(child);
    ::close(pipe[0]);
    if (!answered || !exited)
        return -1;
    return std::chrono::duration<double>(Clock::now() - saidYes).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 3 && std::strcmp(argv[1], kQuitFlag) == 0)
        return QuitDuringLookup(argc, argv);
    if (argc > 2 && std::strcmp(argv[1], kFetchFlag) == 0)
        return FetchDuringLookup(argv[2]);
    const int runs = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : kDefaultRuns;
    const char* lookup = argc > 2 && std::atoi(argv[2]) > 0 ? argv[2] : kDefaultLookupSeconds;
    const char* yesAfter = argc > 3 && std::atof(argv[3]) > 0 ? argv[3] : kDefaultYesAfterSeconds;
    for (int run = 1; run <= runs; ++run) {
        const double exit = TimeOneQuit(lookup, yesAfter);
        if (exit < 0) {
            std::fprintf(stderr, "quit_during_lookup: the child did not quit cleanly\n");
            return 1;
        }
        std::printf("quit_during_lookup: run %d, name lookup of %s s, Yes after %s s, "
                    "exit %.3f s after Yes\n",
                    run, lookup, yesAfter, exit);
    }
    std::fflush(stdout);
    return ExitedCleanly(SpawnChild(kFetchFlag, lookup, yesAfter, STDOUT_FILENO)) ? 0 : 1;
}
