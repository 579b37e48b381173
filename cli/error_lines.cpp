// Error lines queued under a mutex; each one queued posts a call on the
// owner's thread, whose event queue keeps them in order with the fetch
// thread's completions.
#include "cli/error_lines.h"

#include <deque>
#include <mutex>
#include <utility>

using namespace torvesk::engine;

namespace torvesk::cli {

struct ErrorLines::Shared {
    std::mutex mutex;
    std::deque<std::string> waiting;
    ErrorLines* owner = nullptr; // none once it has gone

    void report(const std::string& line) {
        std::lock_guard lock(mutex);
        if (owner == nullptr)
            return ReportOnStandardError(line);
        waiting.push_back(line);
        QMetaObject::invokeMethod(owner, &ErrorLines::showWaiting, Qt::QueuedConnection);
    }

    std::deque<std::string> take() {
        std::lock_guard lock(mutex);
        return std::exchange(waiting, {});
    }
};

ErrorLines::ErrorLines(std::function<void(const std::string& line)> show)
    : shared_(std::make_shared<Shared>()), show_(std::move(show)) {
    shared_->owner = this;
}

ErrorLines::~ErrorLines() {
    std::lock_guard lock(shared_->mutex);
    shared_->owner = nullptr;
    for (const std::string& line : shared_->waiting)
        ReportOnStandardError(line);
}

ErrorReporter ErrorLines::reporter() const {
    return [shared = shared_](const std::string& line) { shared->report(line); };
}

void ErrorLines::showWaiting() {
    for (const std::string& line : shared_->take())
        show_(line);
}

} // namespace torvesk::cli
