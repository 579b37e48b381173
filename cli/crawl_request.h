// A crawl without a window, as the command line asks for it.
#pragma once

#include "crawl/crawl_runner.h"

#include <cstdint>
#include <optional>
#include <string>

namespace torvesk::cli {

// The longest tick --interval takes: one hour.
constexpr std::uint64_t kMaxIntervalMs = 3600000;

struct CrawlRequest {
    std::string url;                            // the start address, byte for byte as given
    std::optional<std::uint64_t> pages;         // stop after this many pages
    std::uint32_t seed = 0;                     // given, else the clock's seconds
    std::string output = crawl::kResultLogName; // "-": standard output
    std::optional<int> intervalMs;              // the window's tick when not given
    bool quiet = false;
};

} // namespace torvesk::cli
