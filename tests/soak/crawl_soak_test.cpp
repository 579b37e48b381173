// A long crawl over a loopback site whose pages go up to and past
// 1,000,000 bytes, ticks driven directly: memory must settle, descriptors
// must all come back, and URL.csv must hold one record per step.
// TORVESK_SOAK_STEPS sets the length (300 by default).
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
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kPages = 40;
constexpr int kLinksPerPage = 100;
constexpr long kMaxGrowthKb = 5 * 1024;
constexpr int kWarmUpSteps = 100;

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
    long residentAfterWarmUp = 0;
    RunStep(crawler, crawler.StartCrawl());
    for (int step = 1; step < steps; ++step) {
        if (step == kWarmUpSteps)
            residentAfterWarmUp = ResidentKb();
        RunStep(crawler, crawler.CrawlTick());
        ASSERT_TRUE(crawler.stepDone()) << "the crawl went idle at step " << step;
    }
    const long growthKb = ResidentKb() - residentAfterWarmUp;

    // The server may take a moment to close its side of the last connection.
    int descriptorsAfter = OpenDescriptors();
    for (int wait = 0; wait < 50 && descriptorsAfter != descriptorsBefore; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        descriptorsAfter = OpenDescriptors();
    }
    const std::vector<CsvRecord> log = ParseCsv(WrittenLog(crawler, dir.File("URL.csv")));
    const std::size_t records = log.size();
    const auto fetched = std::count_if(log.begin(), log.end(), [](const CsvRecord& record) {
        return record.size() == 3 && record[1].rfind("Soak ", 0) == 0;
    });
    std::printf("soak: %d steps, %zu records, resident after %d steps %ld KB, growth %ld KB, "
                "descriptors %d -> %d\n",
                steps, records, kWarmUpSteps, residentAfterWarmUp, growthKb, descriptorsBefore,
                descriptorsAfter);

    EXPECT_EQ(records, std::size_t(steps));
    EXPECT_EQ(fetched, steps) << "every step fetched a whole page and found its title";
    EXPECT_EQ(site.RequestCount(), std::size_t(steps));
    EXPECT_EQ(descriptorsAfter, descriptorsBefore);
    // The address sanitizer holds freed memory back on purpose; growth is
    // judged in the plain build.
    if (!Sanitized() && steps > kWarmUpSteps) {
        EXPECT_LT(growthKb, kMaxGrowthKb);
    }
}

} // namespace
