// The slot-lateness recorder and its figures.
#include "bench/slot_lateness.h"

#include <algorithm>
#include <cmath>

namespace {

double Milliseconds(SteadyClock::duration span) {
    return std::chrono::duration<double, std::milli>(span).count();
}

// Nearest rank: the smallest value with at least fraction of all at or below it.
SteadyClock::duration Percentile(const std::vector<SteadyClock::duration>& sorted,
                                 double fraction) {
    auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

} // namespace

LatenessFigures SlotLateness(SteadyClock::time_point start, SteadyClock::duration period,
                             const std::vector<SteadyClock::time_point>& served) {
    std::vector<SteadyClock::duration> lateness;
    if (served.empty())
        return {};
    auto next = served.begin();
    for (auto slot = start + period; slot <= served.back(); slot += period) {
        next = std::lower_bound(next, served.end(), slot);
        lateness.push_back(*next - slot);
    }
    if (lateness.empty())
        return {};
    std::sort(lateness.begin(), lateness.end());
    return {lateness.size(), Milliseconds(Percentile(lateness, 0.50)),
            Milliseconds(Percentile(lateness, 0.99)), Milliseconds(lateness.back())};
}

SlotLatenessRecorder::SlotLatenessRecorder(std::chrono::milliseconds period) : period_(period) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(period_);
    QObject::connect(&timer_, &QTimer::timeout, [this] { served_.push_back(SteadyClock::now()); });
}

// The start is read before the timer is armed, so the timer's own due times
// never fall before the slots they stand for.
void SlotLatenessRecorder::Start() {
    served_.clear();
    served_.reserve(1 << 16);
    start_ = SteadyClock::now();
    served_.push_back(start_);
    timer_.start();
}

void SlotLatenessRecorder::Stop() {
    timer_.stop();
    served_.push_back(SteadyClock::now());
}

LatenessFigures SlotLatenessRecorder::Figures() const {
    return SlotLateness(start_, period_, served_);
}
