// The page rate's window of finishing times.
#include "crawl/crawl_progress.h"

#include <algorithm>

using namespace torvesk::engine;

namespace torvesk::crawl {

void PageRate::Restart(Clock::time_point since) {
    finished_.clear();
    since_ = since;
}

void PageRate::Add(Clock::time_point finished) {
    Forget(finished);
    finished_.push_back(finished);
}

double PageRate::PerSecond(Clock::time_point now) {
    Forget(now);
    const std::chrono::duration<double> span = std::min<Clock::duration>(now - since_, kRateWindow);
    return span.count() > 0 ? static_cast<double>(finished_.size()) / span.count() : 0.0;
}

void PageRate::Forget(Clock::time_point now) {
    while (!finished_.empty() && finished_.front() <= now - kRateWindow)
        finished_.pop_front();
}

} // namespace torvesk::crawl
