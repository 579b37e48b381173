// How long the process takes to exit when it quits during a slow name
// lookup: a child process (this program, with the slow-lookup resolver
// preloaded) starts a crawl of a host whose lookup takes 5 s, "answers Yes"
// half a second later as the quit question's Yes does (cancel the fetch,
// leave the event loop, let the runner go), and the parent times from that
// Yes to the child's exit. Usage: quit_during_lookup [runs] (3 by default).
#include "shell/crawl_runner.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kChildFlag = "--child";
constexpr const char* kSlowHostUrl = "http://slow-5000.test/";
constexpr int kYesAfterMs = 500;
constexpr int kDefaultRuns = 3;

// The child: what the program does from "解析スタート" to Yes and its exit.
int QuitDuringLookup(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTemporaryDir dir;
    CrawlRunner runner(dir.filePath("URL.csv").toStdString());
    runner.crawler().CrawlInit(1);
    runner.crawler().SetCurrentUrl(kSlowHostUrl);
    runner.startCrawl();
    QTimer::singleShot(kYesAfterMs, [&runner] {
        std::fputc('y', stdout);
        std::fflush(stdout);
        runner.cancelFetch();
        QCoreApplication::quit();
    });
    return QCoreApplication::exec();
}

// Runs the child; returns the seconds from its Yes to its exit, or -1.
double TimeOneQuit() {
    char self[] = "/proc/self/exe";
    int pipe[2];
    if (::pipe(pipe) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    char preload[] = "LD_PRELOAD=" TORVESK_SLOW_LOOKUP_LIBRARY;
    char noProxy[] = "no_proxy=*";
    char* childArgs[] = {self, const_cast<char*>(kChildFlag), nullptr};
    char* childEnvironment[] = {preload, noProxy, nullptr};
    pid_t child = 0;
    const bool spawned =
        posix_spawn(&child, self, &actions, nullptr, childArgs, childEnvironment) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    char yes = 0;
    const bool answered = spawned && ::read(pipe[0], &yes, 1) == 1;
    const auto saidYes = Clock::now();
    int status = 0;
    const bool exited = spawned && ::waitpid(child, &status, 0) == child;
    ::close(pipe[0]);
    if (!answered || !exited || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return std::chrono::duration<double>(Clock::now() - saidYes).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], kChildFlag) == 0)
        return QuitDuringLookup(argc, argv);
    const int runs = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : kDefaultRuns;
    for (int run = 1; run <= runs; ++run) {
        const double seconds = TimeOneQuit();
        if (seconds < 0) {
            std::fprintf(stderr, "quit_during_lookup: the child did not quit cleanly\n");
            return 1;
        }
        std::printf("quit_during_lookup: run %d, name lookup of 5 s, exit %.3f s after Yes\n", run,
                    seconds);
    }
    return 0;
}
