// The figures of the crawl without a window, each from the real program
// (`torvesk --crawl`) run as a child process without a display:
// - pages a second with --interval 0 over two loopback trees of about 400
//   pages, each page linked once, so that every page is visited once,
//   against `wget -r -l inf` over the same site in the same run (the median
//   of runs of each, taken in turn, and their ratio), from exec to exit and
//   from the first request to exit: a tree seven links wide, and one whose
//   root links to a hundred rows of four pages, which keeps about a hundred
//   links waiting;
// - pages a second and connections per request through the default 100 ms
//   tick, on the loopback site whose every new connection costs 150 ms;
// - the time from exec to the first request (median of 10), and resident
//   memory at the end of a crawl of 1,000 pages.
// Usage: crawl_command [runs] (5 by default, for the comparison with wget).
#include "bench/latency_site.h"
#include "support/http_test_server.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultRuns = 5;
constexpr int kStartUpRuns = 10;
constexpr int kTickPages = 100; // through the 100 ms tick
constexpr int kMemoryPages = 1000;
constexpr int kRequestsPerConnection = 100000; // never the reason to close one
constexpr auto kMemoryPollPeriod = std::chrono::milliseconds(5);

// The child's environment: no display, and no proxy between it and 127.0.0.1.
std::vector<std::string> ChildEnvironment() {
    std::vector<std::string> kept;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable = *entry;
        const std::string name = variable.substr(0, variable.find('='));
        const bool proxy = name.ends_with("_proxy") || name.ends_with("_PROXY");
        if (!proxy && name != "DISPLAY" && name != "WAYLAND_DISPLAY" && name != "QT_QPA_PLATFORM")
            kept.push_back(variable);
    }
    return kept;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& text : strings)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Starts command (found on PATH) with its output thrown away; its pid, or -1.
pid_t Spawn(std::vector<std::string> command) {
    std::vector<std::string> environment = ChildEnvironment();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = -1;
    const bool spawned = posix_spawnp(&child, command[0].c_str(), &actions, nullptr,
                                      Pointers(command).data(), Pointers(environment).data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    return spawned ? child : -1;
}

struct Ended {
    bool cleanly = false; // exit status 0
    long peakKb = 0;      // the child's peak resident memory
};

Ended WaitFor(pid_t child) {
    int status = 0;
    rusage usage{};
    if (child <= 0 || ::wait4(child, &status, 0, &usage) != child)
        return {};
    return {WIFEXITED(status) && WEXITSTATUS(status) == 0, usage.ru_maxrss};
}

struct Timed {
    bool cleanly = false;
    Clock::time_point spawned, exited;
};

Timed RunTimed(const std::vector<std::string>& command) {
    const Clock::time_point spawned = Clock::now();
    const bool cleanly = WaitFor(Spawn(command)).cleanly;
    return {cleanly, spawned, Clock::now()};
}

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// When a site saw its first request since the last Take.
class FirstRequest {
public:
    void Note() {
        Clock::rep none = 0;
        first_.compare_exchange_strong(none, Clock::now().time_since_epoch().count());
    }
    Clock::time_point Take() { return Clock::time_point(Clock::duration(first_.exchange(0))); }

private:
    std::atomic<Clock::rep> first_ = 0;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::vector<std::string> Crawl(const std::string& url, const std::string& output,
                               std::vector<std::string> options) {
    std::vector<std::string> command = {TORVESK_PROGRAM, "--crawl",  url,
                                        "--quiet",       "--output", output};
    command.insert(command.end(), options.begin(), options.end());
    return command;
}

// A tree of pages, each linked once by a double-quoted absolute link: "/"
// links to branchings[0] pages "/<i>/", each of those to branchings[1]
// pages "/<i>/<j>/", and so on; the last level's pages end in ".html" and
// link nowhere. Every page carries a paragraph of text besides its links.
class TreeSite {
public:
    explicit TreeSite(std::vector<int> branchings) : branchings_(std::move(branchings)) {
        server_.server().set_keep_alive_max_count(kRequestsPerConnection);
        server_.server().Get(".*",
                             [this](const httplib::Request& request, httplib::Response& response) {
                                 ++requests_;
                                 firstRequest_.Note();
                                 response.set_content(Page(request.path), "text/html");
                             });
        server_.Start();
    }

    int Pages() const {
        int pages = 1, level = 1;
        for (const int branching : branchings_)
            pages += level *= branching;
        return pages;
    }
    std::string Url(const std::string& path) const { return server_.Url(path); }
    int TakeRequests() { return requests_.exchange(0); }
    Clock::time_point TakeFirstRequest() { return firstRequest_.Take(); }

private:
    std::string Page(const std::string& path) const {
        const auto depth = static_cast<std::size_t>(std::count(path.begin(), path.end(), '/')) - 1;
        std::string links;
        if (!path.ends_with(".html") && depth < branchings_.size())
            for (int k = 0; k < branchings_[depth]; ++k)
                links += Link(path + std::to_string(k) +
                              (depth + 1 == branchings_.size() ? ".html" : "/"));
        std::string text;
        for (int i = 0; i < 12; ++i)
            text += "A paragraph of ordinary text, as pages carry around their links. ";
        return "<html><head><title>Page " + path + "</title></head><body>\n<p>" + text + "</p>\n" +
               links + "</body></html>\n";
    }

    std::string Link(const std::string& path) const {
        return "<a href=\"" + Url(path) + "\">page " + path + "</a>\n";
    }

    const std::vector<int> branchings_;
    HttpTestServer server_;
    std::atomic<int> requests_ = 0;
    FirstRequest firstRequest_;
};

// Pages a second of each run: from exec to exit, and from the first request
// to exit (without the start-up).
struct Rates {
    std::vector<double> whole, crawling;

    // Adds the run of command over site; false when it failed or missed pages.
    bool Add(TreeSite& site, const std::vector<std::string>& command) {
        const Timed run = RunTimed(command);
        const int pages = site.TakeRequests();
        const Clock::time_point first = site.TakeFirstRequest();
        if (!run.cleanly || pages != site.Pages()) {
            std::fprintf(stderr, "crawl_command: %s visited %d pages of %d\n", command[0].c_str(),
                         pages, site.Pages());
            return false;
        }
        whole.push_back(pages / Seconds(run.spawned, run.exited));
        crawling.push_back(pages / Seconds(first, run.exited));
        return true;
    }
};

void PrintRatio(const char* span, const std::vector<double>& torvesk,
                const std::vector<double>& wget) {
    std::printf("  %s: torvesk --crawl %.0f pages/s, wget -r -l inf %.0f pages/s, ratio %.2f\n",
                span, Median(torvesk), Median(wget), Median(torvesk) / Median(wget));
}

// Both programs over a tree in turn; false when a run failed or missed pages.
bool CompareWithWget(int runs, const std::string& scratch, const std::vector<int>& branchings,
                     const char* shape) {
    TreeSite site(branchings);
    Rates torvesk, wget;
    for (int run = 0; run < runs; ++run)
        if (!torvesk.Add(site, Crawl(site.Url("/"), scratch + "/URL.csv",
                                     {"--interval", "0", "--seed", "1"})) ||
            !wget.Add(site, {"wget", "-r", "-l", "inf", "-nd", "--delete-after", "-q", "-e",
                             "robots=off", "-P", scratch + "/wget", site.Url("/")}))
            return false;
    std::printf("crawl_command: %s, %d pages, --interval 0, median of %d runs each:\n", shape,
                site.Pages(), runs);
    PrintRatio("from exec to exit", torvesk.whole, wget.whole);
    PrintRatio("from the first request to exit", torvesk.crawling, wget.crawling);
    return true;
}

bool ThroughTheTick(const std::string& scratch) {
    LatencySite site(false, 50, std::chrono::milliseconds(150));
    if (!site.Started())
        return false;
    const Timed run = RunTimed(
        Crawl(site.Url("/p0/"), scratch + "/URL.csv", {"--pages", std::to_string(kTickPages)}));
    if (!run.cleanly)
        return false;
    const double seconds = Seconds(run.spawned, run.exited);
    std::printf("crawl_command: %d pages through the 100 ms tick, 150 ms a new connection, from "
                "exec to exit in %.2f s: %.2f pages/s; %d connections for %d requests: %.3f "
                "per request\n",
                kTickPages, seconds, kTickPages / seconds, site.http().Connections(),
                site.http().Requests(), double(site.http().Connections()) / site.http().Requests());
    return true;
}

bool StartUp(const std::string& scratch) {
    HttpTestServer server;
    FirstRequest firstRequest;
    server.server().Get("/", [&](const httplib::Request&, httplib::Response& response) {
        firstRequest.Note();
        response.set_content("<title>Start</title>", "text/html");
    });
    server.Start();
    std::vector<double> milliseconds;
    for (int run = 0; run < kStartUpRuns; ++run) {
        const Timed crawl = RunTimed(Crawl(server.Url("/"), scratch + "/URL.csv", {}));
        if (!crawl.cleanly)
            return false;
        milliseconds.push_back(1000 * Seconds(crawl.spawned, firstRequest.Take()));
    }
    std::printf("crawl_command: from exec to the first request, median of %d runs: %.1f ms\n",
                kStartUpRuns, Median(milliseconds));
    return true;
}

// The value in kB of a line "name: N kB" of /proc/<pid>/status, or 0.
long StatusKb(pid_t child, const char* name) {
    std::ifstream status("/proc/" + std::to_string(child) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with(name))
            return std::atol(line.c_str() + std::strlen(name));
    return 0;
}

// The last resident size read while the child lived: that at its end.
bool Memory(const std::string& scratch) {
    LatencySite site(false, 50, std::chrono::milliseconds(0));
    if (!site.Started())
        return false;
    const pid_t child = Spawn(Crawl(site.Url("/p0/"), scratch + "/URL.csv",
                                    {"--interval", "0", "--pages", std::to_string(kMemoryPages)}));
    long lastRss = 0;
    int status = 0;
    rusage usage{};
    while (child > 0 && ::wait4(child, &status, WNOHANG, &usage) == 0) {
        if (const long rss = StatusKb(child, "VmRSS:"); rss > 0)
            lastRss = rss;
        std::this_thread::sleep_for(kMemoryPollPeriod);
    }
    std::printf("crawl_command: %d pages with --interval 0: resident %ld kB at the end, "
                "%ld kB at its peak (VmHWM)\n",
                site.http().Requests(), lastRss, usage.ru_maxrss);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : kDefaultRuns;
    std::string scratch =
        (std::filesystem::temp_directory_path() / "crawl_command-XXXXXX").string();
    if (::mkdtemp(scratch.data()) == nullptr)
        return 1;
    // Seven links a page keep a few links waiting; a hundred rows of four
    // keep about a hundred, each shuffled at every step.
    const bool done = CompareWithWget(runs, scratch, {7, 7, 7}, "a tree of 7 x 7 x 7") &&
                      CompareWithWget(runs, scratch, {100, 1, 1, 1}, "100 rows of 4 pages") &&
                      ThroughTheTick(scratch) && StartUp(scratch) && Memory(scratch);
    std::filesystem::remove_all(scratch);
    return done ? 0 : 1;
}
