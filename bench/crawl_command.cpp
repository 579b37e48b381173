// The figures of the crawl without a window, each from the real program
// (`torvesk --crawl`) run as a child process without a display:
// - pages a second with --interval 0 over a loopback tree of 401 pages, each
//   linked once, so that every page is visited once, against `wget -r -l inf`
//   over the same site in the same run (the median of runs of each, taken
//   in turn, and their ratio);
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
constexpr int kChains = 100;    // links from the tree's root
constexpr int kChainLength = 4; // pages in a row below each
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

// Seconds from spawn to a clean exit, or -1.
double TimeToEnd(const std::vector<std::string>& command) {
    const auto start = Clock::now();
    const bool clean = WaitFor(Spawn(command)).cleanly;
    return clean ? std::chrono::duration<double>(Clock::now() - start).count() : -1;
}

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

// "/" links to kChains pages "/c<i>/", each the head of a row of
// kChainLength pages ("/c<i>/<j>.html"), each linked once, by a double-quoted
// absolute link; every page carries a paragraph of text besides.
class TreeSite {
public:
    TreeSite() {
        server_.server().set_keep_alive_max_count(kRequestsPerConnection);
        server_.server().Get(".*",
                             [this](const httplib::Request& request, httplib::Response& response) {
                                 ++requests_;
                                 response.set_content(Page(request.path), "text/html");
                             });
        server_.Start();
    }

    static int Pages() { return 1 + kChains * kChainLength; }
    std::string Url(const std::string& path) const { return server_.Url(path); }
    int TakeRequests() { return requests_.exchange(0); }

private:
    std::string Page(const std::string& path) const {
        std::string links;
        int chain = 0, place = 0;
        if (path == "/") {
            for (int i = 0; i < kChains; ++i)
                links += Link(i, 0);
        } else if (std::sscanf(path.c_str(), "/c%d/%d.html", &chain, &place) >= 1 &&
                   place + 1 < kChainLength) {
            links = Link(chain, place + 1);
        }
        std::string text;
        for (int i = 0; i < 12; ++i)
            text += "A paragraph of ordinary text, as pages carry around their links. ";
        return "<html><head><title>Page " + path + "</title></head><body>\n<p>" + text + "</p>\n" +
               links + "</body></html>\n";
    }

    std::string Link(int chain, int place) const {
        const std::string path = "/c" + std::to_string(chain) + "/" +
                                 (place == 0 ? "" : std::to_string(place) + ".html");
        return "<a href=\"" + Url(path) + "\">page " + path + "</a>\n";
    }

    HttpTestServer server_;
    std::atomic<int> requests_ = 0;
};

// Both programs over the tree in turn; false when a run failed or missed pages.
bool CompareWithWget(int runs, const std::string& scratch) {
    TreeSite site;
    std::vector<double> torvesk, wget;
    for (int run = 0; run < runs; ++run) {
        const double crawled =
            TimeToEnd(Crawl(site.Url("/"), scratch + "/URL.csv", {"--interval", "0"}));
        const int crawledPages = site.TakeRequests();
        const double fetched =
            TimeToEnd({"wget", "-r", "-l", "inf", "-nd", "--delete-after", "-q", "-e", "robots=off",
                       "-P", scratch + "/wget", site.Url("/")});
        const int fetchedPages = site.TakeRequests();
        if (crawled < 0 || fetched < 0 || crawledPages != TreeSite::Pages() ||
            fetchedPages != TreeSite::Pages()) {
            std::fprintf(stderr, "crawl_command: a run failed (%d and %d pages of %d)\n",
                         crawledPages, fetchedPages, TreeSite::Pages());
            return false;
        }
        torvesk.push_back(crawledPages / crawled);
        wget.push_back(fetchedPages / fetched);
    }
    std::printf("crawl_command: a tree of %d pages, --interval 0, median of %d runs:\n"
                "  torvesk --crawl %.0f pages/s, wget -r -l inf %.0f pages/s, ratio %.2f\n",
                TreeSite::Pages(), runs, Median(torvesk), Median(wget),
                Median(torvesk) / Median(wget));
    return true;
}

bool ThroughTheTick(const std::string& scratch) {
    LatencySite site(false, 50, std::chrono::milliseconds(150));
    if (!site.Started())
        return false;
    const double seconds = TimeToEnd(
        Crawl(site.Url("/p0/"), scratch + "/URL.csv", {"--pages", std::to_string(kTickPages)}));
    if (seconds < 0)
        return false;
    std::printf("crawl_command: %d pages through the 100 ms tick, 150 ms a new connection, from "
                "exec to exit in %.2f s: %.2f pages/s; %d connections for %d requests: %.3f "
                "per request\n",
                kTickPages, seconds, kTickPages / seconds, site.http().Connections(),
                site.http().Requests(), double(site.http().Connections()) / site.http().Requests());
    return true;
}

bool StartUp(const std::string& scratch) {
    HttpTestServer server;
    std::atomic<Clock::rep> firstRequest = 0;
    server.server().Get("/", [&](const httplib::Request&, httplib::Response& response) {
        Clock::rep none = 0;
        firstRequest.compare_exchange_strong(none, Clock::now().time_since_epoch().count());
        response.set_content("<title>Start</title>", "text/html");
    });
    server.Start();
    std::vector<double> milliseconds;
    for (int run = 0; run < kStartUpRuns; ++run) {
        firstRequest = 0;
        const Clock::rep spawned = Clock::now().time_since_epoch().count();
        if (!WaitFor(Spawn(Crawl(server.Url("/"), scratch + "/URL.csv", {}))).cleanly)
            return false;
        milliseconds.push_back(
            std::chrono::duration<double, std::milli>(Clock::duration(firstRequest - spawned))
                .count());
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
    const bool done = CompareWithWget(runs, scratch) && ThroughTheTick(scratch) &&
                      StartUp(scratch) && Memory(scratch);
    std::filesystem::remove_all(scratch);
    return done ? 0 : 1;
}
