// A crawl step with its fetch run right where it is called, the way tests,
// the soak and the benchmarks drive a Crawler without a window.
#pragma once

#include "engine/crawler.h"
#include "engine/page_fetcher.h"

#include <atomic>
#include <optional>

// Finishes the step begun for visit, if any, with fetcher; returns its
// results line.
inline std::optional<torvesk::engine::ResultsLine>
RunStep(torvesk::engine::Crawler& crawler, const std::optional<torvesk::engine::Visit>& visit,
        torvesk::engine::PageFetcher& fetcher) {
    if (!visit)
        return std::nullopt;
    const std::atomic<bool> noCancel = false;
    return crawler.AnalyzePage(fetcher.FetchPage(visit->url, noCancel).body);
}

// The same with a fetcher of its own, which keeps no connection for later steps.
inline std::optional<torvesk::engine::ResultsLine>
RunStep(torvesk::engine::Crawler& crawler, const std::optional<torvesk::engine::Visit>& visit,
        const torvesk::engine::FetchLimits& limits = {}) {
    torvesk::engine::PageFetcher fetcher(limits);
    return RunStep(crawler, visit, fetcher);
}
