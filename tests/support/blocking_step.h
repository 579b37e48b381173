// A crawl step with its fetch run right where it is called, the way tests,
// the soak and the benchmarks drive a Crawler without a window.
#pragma once

#include "engine/crawler.h"
#include "engine/page_fetcher.h"

#include <atomic>
#include <optional>

// Finishes the step begun for visit, if any, with fetcher; returns its
// results line.
inline std::optional<ResultsLine> RunStep(Crawler& crawler, const std::optional<Visit>& visit,
                                          PageFetcher& fetcher) {
    if (!visit)
        return std::nullopt;
    const std::atomic<bool> noCancel = false;
    return crawler.AnalyzePage(fetcher.FetchPage(visit->url, noCancel).body);
}

// The same with a fetcher of its own, which keeps no connection for later steps.
inline std::optional<ResultsLine> RunStep(Crawler& crawler, const std::optional<Visit>& visit,
                                          const FetchLimits& limits = {}) {
    PageFetcher fetcher(limits);
    return RunStep(crawler, visit, fetcher);
}
