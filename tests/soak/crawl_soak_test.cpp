// A long crawl over a loopback site whose pages go up to and past
// 1,000,000 bytes, ticks driven directly through one fetcher kept for the
// whole crawl, as the window keeps one: memory must settle, the fetcher may
// hold no more descriptors than its connection cache allows, they must all
// come back once it is gone, and URL.csv must hold one record per step.
// TORVESK_SOAK_STEPS sets the length (300 by default). And a crawl into a
// file system that fills up and frees again, when scripts/full-device
// provides one (TORVESK_FULL_DEVICE_DIR).
#include "engine/crawler.h"

#include "support/blocking_step.h"
#include "support/csv_reader.h"
#include "support/temp_dir.h"
#include "support/test_site.h"
#include "support/written_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace torvesk::engine;

namespace {

constexpr int kPages = 40;
constexpr int kLinksPerPage = 100;
constexpr long kMaxGrowthKb = 5 * 1024;
constexpr int kWarmUpSteps = 100;
// Descriptors a living fetcher may hold: its wake-up pair, and both ends of
// each kept connection (the server runs in this process).
constexpr int kDescriptorsOfAFetcher = 2 + 2 * kMaxKeptConnections;

int SoakSteps() {
    const char* steps = std::getenv("TORVESK_SOAK_STEPS");
    return steps ? std::atoi(steps) : 300;
}

long ResidentKb() {
    long pages = 0, resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

int OpenDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

// The descriptors open once the server holds no more than serverSide
// connections: it closes its side of one a client left a moment later.
int DescriptorsOnceServerHolds(TestSite& site, int serverSide) {
    EXPECT_TRUE(site.WaitForOpenConnectionsAtMost(serverSide, std::chrono::seconds(5)))
        << "the server still holds connections the client left";
    return OpenDescriptors();
}

// Sizes from a small page to one past the page buffer's capacity.
std::size_t PageSize(int page) {
    static const std::size_t sizes[] = {2000, 50000, 200000, 600000, 1000000, 1200000};
    return sizes[page % std::size(sizes)];
}

std::string SoakPage(const TestSite& site, int page) {
    const std::size_t size = PageSize(page);
    std::string body = "<html><title>Soak " + std::to_string(page) + "</title><body>";
    const std::size_t filler = size / kLinksPerPage;
    for (int k = 0; k < kLinksPerPage; ++k) {
        const int target = (page * 7 + k * 13 + 1) % kPages;
        body += std::string(filler > 80 ? filler - 80 : 0, 'x') + "<a href=\"" +
                site.Url("/p" + std::to_string(target) + "/") + "\">to " + std::to_string(target) +
                "</a>\n";
    }
    body.resize(size, ' ');
    return body;
}

bool Sanitized() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return false;
#endif
}

TEST(CrawlSoak, MemoryDescriptorsAndRecordsHoldOverALongCrawl) {
    const int steps = SoakSteps();
    TempDir dir;
    TestSite site(TestSite::Requests::Counted);
    for (int page = 0; page < kPages; ++page)
        site.AddRaw("/p" + std::to_string(page) + "/", SoakPage(site, page));
    Crawler crawler(dir.File("URL.csv"));
    crawler.CrawlInit(7);
    crawler.SetCurrentUrl(site.Url("/p0/"));

    const int descriptorsBefore = OpenDescriptors();
    auto fetcher = std::make_unique<PageFetcher>();
    long residentAfterWarmUp = 0;
    RunStep(crawler, crawler.StartCrawl(), *fetcher);
    for (int step = 1; step < steps; ++step) {
        if (step == kWarmUpSteps)
            residentAfterWarmUp = ResidentKb();
        RunStep(crawler, crawler.CrawlTick(), *fetcher);
        ASSERT_TRUE(crawler.stepDone()) << "the crawl went idle at step " << step;
    }
    const long growthKb = ResidentKb() - residentAfterWarmUp;

    const int descriptorsWhileKept = DescriptorsOnceServerHolds(site, kMaxKeptConnections);
    fetcher.reset();
    const int descriptorsAfter = DescriptorsOnceServerHolds(site, 0);
    const std::vector<CsvRecord> log = ParseCsv(WrittenLog(crawler, dir.File("URL.csv")));
    const std::size_t records = log.size();
    const auto fetched = std::count_if(log.begin(), log.end(), [](const CsvRecord& record) {
        return record.size() == 3 && record[1].rfind("Soak ", 0) == 0;
    });
    std::printf("soak: %d steps, %zu records, resident after %d steps %ld KB, growth %ld KB, "
                "descriptors %d -> %d while the fetcher lives -> %d after it\n",
                steps, records, kWarmUpSteps, residentAfterWarmUp, growthKb, descriptorsBefore,
                descriptorsWhileKept, descriptorsAfter);

    EXPECT_EQ(records, std::size_t(steps));
    EXPECT_EQ(fetched, steps) << "every step fetched a whole page and found its title";
    EXPECT_EQ(site.RequestCount(), std::size_t(steps));
    EXPECT_LE(descriptorsWhileKept, descriptorsBefore + kDescriptorsOfAFetcher);
    EXPECT_EQ(descriptorsAfter, descriptorsBefore);
    // The address sanitizer holds freed memory back on purpose; growth is
    // judged in the plain build.
    if (!Sanitized() && steps > kWarmUpSteps) {
        EXPECT_LT(growthKb, kMaxGrowthKb);
    }
}

// Pages whose records run to a few hundred bytes, with commas and quotes.
void AddSmallSite(TestSite& site) {
    for (int page = 0; page < kPages; ++page) {
        std::vector<SiteLink> links;
        for (int k = 1; k <= 5; ++k)
            links.push_back({"/s" + std::to_string((page + k * 7) % kPages) + "/", "to, \"it\""});
        site.AddPage("/s" + std::to_string(page) + "/",
                     "Page " + std::to_string(page) + ", " + std::string(150, 'w'), links);
    }
}

std::ptrdiff_t Occurrences(const std::string& text, const std::string& part) {
    std::ptrdiff_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// Fills the file system at dir to its last byte; returns the filler's path.
std::string FillUp(const std::string& dir) {
    const std::string filler = dir + "/filler";
    std::FILE* file = std::fopen(filler.c_str(), "wb");
    EXPECT_NE(file, nullptr);
    const std::string block(512, 'f');
    while (file && std::fwrite(block.data(), 1, block.size(), file) == block.size() &&
           std::fflush(file) == 0) {
    }
    for (char byte = 'f'; file && std::fputc(byte, file) != EOF && std::fflush(file) == 0;) {
    }
    if (file)
        std::fclose(file);
    return filler;
}

// The file system of URL.csv fills up during the crawl and frees again:
// records that find no room are left out whole and reported, none is cut,
// and the records after the space came back are all there.
TEST(CrawlSoak, RecordsStayWholeWhenTheDeviceFillsAndFrees) {
    const char* dir = std::getenv("TORVESK_FULL_DEVICE_DIR");
    if (dir == nullptr)
        GTEST_SKIP() << "scripts/full-device runs this on a small file system of its own";
    TestSite site(TestSite::Requests::Counted);
    AddSmallSite(site);
    const std::string logPath = std::string(dir) + "/URL.csv";
    Crawler crawler(logPath);
    crawler.CrawlInit(7);
    crawler.SetCurrentUrl(site.Url("/s0/"));
    const auto crawl = [&](int steps) {
        for (int step = 0; step < steps; ++step)
            RunStep(crawler, step == 0 ? crawler.StartCrawl() : crawler.CrawlTick());
        EXPECT_TRUE(crawler.FlushLog(kLogWait));
    };

    testing::internal::CaptureStderr();
    crawl(20);
    const std::string filler = FillUp(dir);
    // The room left in URL.csv's last block: the record that reaches past it
    // is cut short there.
    struct stat status {};
    stat(logPath.c_str(), &status);
    const long room = status.st_blocks * 512 - status.st_size;
    crawl(60);
    std::filesystem::remove(filler);
    crawl(20);
    const std::string said = testing::internal::GetCapturedStderr();
    const std::string log = ReadWholeFile(logPath);
    const std::vector<CsvRecord> records = ParseCsv(log);
    const auto refused = std::count(said.begin(), said.end(), '\n');
    std::printf("full device: 100 steps, %ld bytes of room when full, %zu records, %ld refused, "
                "%zu bytes, ends in CR LF: %s\n",
                room, records.size(), static_cast<long>(refused), log.size(),
                log.ends_with("\r\n") ? "yes" : "no");

    EXPECT_GT(refused, 0) << "the device never ran full";
    EXPECT_EQ(static_cast<long>(records.size()) + refused, 100) << said;
    EXPECT_TRUE(log.ends_with("\r\n"));
    const auto malformed = std::count_if(records.begin(), records.end(), [&](const CsvRecord& r) {
        return r.size() != 3 || !r[0].starts_with(site.Url("/s")) || !r[1].starts_with("Page ");
    });
    EXPECT_EQ(malformed, 0);
    EXPECT_EQ(Occurrences(said, "not written to " + logPath + ": No space left on device\n"),
              refused)
        << said;
}

} // namespace
