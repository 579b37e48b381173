// How late the GUI thread serves its events: a precise periodic timer runs on
// the thread, and each period's due time (a slot) is served by the first
// callback at or after it. A thread blocked for 20 s leaves a slot every
// period in that span, late by 20 s down to nothing, so long stalls weigh in
// proportion to their length.
#pragma once

#include <QTimer>

#include <chrono>
#include <cstddef>
#include <vector>

using SteadyClock = std::chrono::steady_clock;

struct LatenessFigures {
    std::size_t slotCount = 0;
    double p50Ms = 0;
    double p99Ms = 0;
    double maxMs = 0;
};

// Slot k (k >= 1) is due at start + k * period, for every slot due no later
// than the last served moment. served must be in ascending order. Percentiles
// are nearest-rank.
LatenessFigures SlotLateness(SteadyClock::time_point start, SteadyClock::duration period,
                             const std::vector<SteadyClock::time_point>& served);

// Start and Stop are called on the thread being measured, so both moments
// count as served; the slots run from Start to Stop.
class SlotLatenessRecorder {
public:
    explicit SlotLatenessRecorder(std::chrono::milliseconds period = std::chrono::milliseconds(10));

    void Start();
    void Stop();
    LatenessFigures Figures() const;

private:
    std::chrono::milliseconds period_;
    QTimer timer_;
    SteadyClock::time_point start_;
    std::vector<SteadyClock::time_point> served_;
};
