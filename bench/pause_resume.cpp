// A crawl paused and resumed three times records what it would have
// recorded without pausing: a loopback site is crawled twice through the
// runner and its 100 ms tick, with the same seed and for the same number of
// pages, the second time paused three times for five ticks each, once with
// a page in flight. Prints both URL.csv hashes; exit status 1 when
// they differ. Usage: pause_resume [pages] (60 by default).
#include "crawl/crawl_runner.h"
#include "support/csv_reader.h"
#include "support/temp_dir.h"
#include "support/test_site.h"

#include <QCoreApplication>
#include <QCryptographicHash>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

using namespace torvesk::engine;
using namespace torvesk::crawl;

namespace {

constexpr int kDefaultPages = 60;
constexpr std::uint32_t kSeed = 24;
constexpr int kPauses = 3;
constexpr int kPauseEveryMs = 700;
constexpr int kTicksPaused = 5;

void AddSite(TestSite& site) {
    site.AddLinkedPages({{"/", {"/a/", "/b/", "/c/", "/d/"}},
                         {"/a/", {"/b/", "/c/", "/e/", "/f/"}},
                         {"/b/", {"/c/", "/d/", "/"}},
                         {"/c/", {"/e/", "/g/"}},
                         {"/d/", {"/e/", "/a/", "/h/"}},
                         {"/e/", {"/f/"}},
                         {"/f/", {"/g/", "/h/", "/"}},
                         {"/g/", {"/a/"}},
                         {"/h/", {"/b/", "/e/"}}});
}

// Pauses the runner every kPauseEveryMs, kPauses times, and resumes it once
// kTicksPaused ticks have passed. The second pause waits for a page held
// at the site's gate, so that it meets a step in flight; that page then
// arrives while the crawl is paused.
class Pauser : public QObject {
public:
    Pauser(CrawlRunner& runner, TestSite& site) : runner_(runner), site_(site) {
        connect(&runner.tickTimer(), &QTimer::timeout, this, &Pauser::countTick);
        clock_.setInterval(kPauseEveryMs);
        connect(&clock_, &QTimer::timeout, this, &Pauser::pauseSoon);
        clock_.start();
        held_.setInterval(1);
        connect(&held_, &QTimer::timeout, this, &Pauser::pauseOnceHeld);
    }
    int inFlight() const { return inFlight_; }

private:
    void pauseSoon() {
        if (++pauses_ == kPauses)
            clock_.stop();
        if (pauses_ != 2) {
            pause();
            return;
        }
        requestsBefore_ = site_.RequestCount();
        site_.CloseGate();
        held_.start();
    }
    void pauseOnceHeld() {
        if (site_.RequestCount() == requestsBefore_)
            return;
        held_.stop();
        pause();
        site_.OpenGate();
    }
    void pause() {
        inFlight_ += runner_.stepInFlight() ? 1 : 0;
        runner_.pause();
        ticksPaused_ = 0;
    }
    void countTick() {
        if (runner_.state() == CrawlState::Paused && ++ticksPaused_ == kTicksPaused)
            runner_.resume();
    }

    CrawlRunner& runner_;
    TestSite& site_;
    QTimer clock_;
    QTimer held_;
    std::size_t requestsBefore_ = 0;
    int pauses_ = 0;
    int ticksPaused_ = 0;
    int inFlight_ = 0;
};

struct Crawled {
    std::string log; // URL.csv, byte for byte
    int pausesInFlight = 0;
};

// pages steps from the site's home page, paused when asked.
Crawled Crawl(TestSite& site, int pages, bool paused) {
    TempDir dir;
    CrawlRunner runner(dir.File("URL.csv"), kSeed);
    runner.setStartUrl(site.Url("/"));
    int shown = 0;
    QObject::connect(&runner, &CrawlRunner::lineReady, [&] {
        if (++shown == pages) {
            runner.stop();
            QCoreApplication::quit();
        }
    });
    std::optional<Pauser> pauser;
    if (paused)
        pauser.emplace(runner, site);
    runner.startTicking();
    runner.startCrawl();
    QCoreApplication::exec();
    runner.flushRecords(std::chrono::seconds(10));
    return {ReadWholeFile(dir.File("URL.csv")), pauser ? pauser->inFlight() : 0};
}

QByteArray Sha256(const std::string& bytes) {
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), qsizetype(bytes.size())),
                                    QCryptographicHash::Sha256)
        .toHex();
}

} // namespace

int main(int argc, char** argv) {
    const int pages = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : kDefaultPages;
    setenv("no_proxy", "*", 1); // only the loopback site is fetched
    QCoreApplication application(argc, argv);
    TestSite site(TestSite::Requests::Counted);
    AddSite(site);
    const Crawled steady = Crawl(site, pages, false);
    const Crawled paused = Crawl(site, pages, true);
    std::printf("pause_resume: %d pages, %zu bytes of URL.csv\n", pages, steady.log.size());
    std::printf("  without pauses: sha256 %s\n", Sha256(steady.log).constData());
    std::printf("  paused %d times, %d of them with a page in flight: sha256 %s\n", kPauses,
                paused.pausesInFlight, Sha256(paused.log).constData());
    const bool same = steady.log == paused.log;
    std::printf("pause_resume: %s\n", same ? "byte for byte the same" : "DIFFERENT");
    return same ? 0 : 1;
}
