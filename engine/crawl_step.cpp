// One crawl step and the per-tick scheduler: fetch, title, results line,
// record, link harvest; and which link the next tick visits.
#include "crawl_step.h"

#include "byte_string.h"
#include "canvas.h"
#include "crawl_state.h"
#include "link_table.h"
#include "page_fetcher.h"
#include "page_scanner.h"
#include "result_log.h"

#include <ctime>
#include <string>

const char kStartPageKey[] = "\x83\x58\x83\x5e\x81\x5b\x83\x67\x83\x79\x81\x5b\x83\x57";

namespace {

char TITLE[kTextCapacity];
HarvestedLinks g_harvest; // 60 KB: kept off the stack, reused every step

// Composed without a fixed-size buffer: the canvas clips what does not fit.
std::string ResultsLine(int count, const char* url, const char* key) {
    return std::to_string(count) + ": URL:" + url + " TITLE:" + TITLE + " KEY:" + key;
}

void DrawResultsLine(const std::string& line) {
    CrawlState& state = g_crawlState;
    if (state.row > kLastRow) {
        state.row = 0;
        g_canvas.ClearBlack();
    }
    g_canvas.SetTextStyle(8, 255, 255, 0);
    g_canvas.PutText(kLineMargin, state.row * kLineHeight + kLineMargin, line.c_str());
}

void PushHarvestedLinks() {
    HarvestLinks(g_harvest);
    for (int i = 0; i < g_harvest.count; ++i)
        PushLink(g_harvest.URL[i], g_harvest.KEY[i]);
}

} // namespace

void CrawlInitSeeded(std::uint32_t seed) {
    SeedRandom(seed);
    CopyBytes(g_crawlState.currentUrl, kDefaultInitialUrl);
}

void CrawlInit() {
    CrawlInitSeeded(static_cast<std::uint32_t>(std::time(nullptr)));
}

void StartCrawl(HWND window) {
    AnalyzePage(window, g_crawlState.currentUrl, kStartPageKey);
}

void CrawlTick(HWND window) {
    if (g_crawlState.stepDone != 1)
        return;
    ShuffleAndDedupe();
    g_crawlState.stepDone = 0;
    int next = PopNext();
    if (next == kNoLink)
        return;
    AnalyzePage(window, g_linkTable.URL[next], g_linkTable.KEY[next]);
}

void AnalyzePage(HWND window, const char* url, const char* key) {
    CopyBytes(g_crawlState.currentUrl, url);
    FetchPage();
    AnalyzeFetchedPage(window, url, key);
}

// url and key may lie in the slot just popped: they are used only before the
// first push can reuse it.
void AnalyzeFetchedPage(HWND window, const char* url, const char* key) {
    ExtractTitle(TITLE);
    DrawResultsLine(ResultsLine(g_linkTable.count, url, key));
    g_canvas.Invalidate(window);
    if (url[0] != '\0')
        AppendRecord(kResultLogName, url, TITLE, key);
    ++g_crawlState.row;
    PushHarvestedLinks();
    g_crawlState.stepDone = 1;
}

void ResetCrawlState() {
    g_crawlState = CrawlState{};
    ResetLinkTable();
}
