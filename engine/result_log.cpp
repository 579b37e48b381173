// Composing the URL.csv records, and the queue between the crawl and the
// thread that writes them.
#include "engine/result_log.h"

#include "engine/request_url.h"

#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <utility>

namespace torvesk::engine {

namespace {

bool NeedsQuoting(const char* field) {
    return std::strpbrk(field, ",\"\r\n") != nullptr;
}

void AppendField(std::string& record, const char* field) {
    if (!NeedsQuoting(field)) {
        record += field;
        return;
    }
    record += '"';
    for (const char* c = field; *c; ++c) {
        if (*c == '"')
            record += '"';
        record += *c;
    }
    record += '"';
}

// Line feeds become CR LF, as the file has always been written.
std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

struct PendingRecord {
    std::string url; // for the line reported
    std::string record;
    std::uint64_t ordinal;
};

} // namespace

struct ResultLog::Queue {
    Queue(RecordTarget target, const ErrorReporter& reported)
        : file(std::move(target), reported), report(reported) {}

    RecordFile file; // the writer's alone
    const ErrorReporter report;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<PendingRecord> pending;
    std::uint64_t handedOver = 0; // records queued so far
    std::uint64_t settled = 0;    // of those, written or reported
    RecordCounts counts;          // every record handed to Append, once settled
    std::uint64_t appended = 0;   // records handed to Append, left out or not
    RecordSettledHook settledHook;
    bool closing = false;

    // Under the mutex, so that OnSettled can end the calls.
    void Settle(std::uint64_t ordinal, bool written, int error) {
        if (settledHook)
            settledHook(RecordSettled{ordinal, written, error});
    }
};

std::string ComposeRecord(const char* URL, const char* TITLE, const char* KEY) {
    std::string record;
    AppendField(record, URL);
    record += ',';
    AppendField(record, TITLE);
    record += ',';
    AppendField(record, KEY);
    record += '\n';
    return WithCrLf(record);
}

ResultLog::ResultLog(RecordTarget target, ErrorReporter report)
    : queue_(std::make_shared<Queue>(std::move(target), report)),
      writer_(WriteUntilClosed, queue_) {}

ResultLog::~ResultLog() {
    const bool settled = Flush(kCloseWait);
    std::size_t left;
    {
        std::lock_guard lock(queue_->mutex);
        left = queue_->pending.size();
        queue_->counts.notWritten += left;
        queue_->pending.clear();
        queue_->closing = true;
    }
    queue_->changed.notify_all();
    if (left > 0)
        queue_->report(std::to_string(left) + " records not written to " + queue_->file.name() +
                       ": it was still busy with an earlier record when the crawl ended");
    if (settled)
        writer_.join();
    else
        writer_.detach();
}

std::uint64_t ResultLog::Append(const char* URL, const char* TITLE, const char* KEY) {
    PendingRecord record{URL, ComposeRecord(URL, TITLE, KEY), 0};
    bool queued = false;
    std::uint64_t ordinal;
    {
        std::lock_guard lock(queue_->mutex);
        ordinal = record.ordinal = ++queue_->appended;
        if (queue_->pending.size() < kMaxPendingRecords) {
            queue_->pending.push_back(std::move(record));
            ++queue_->handedOver;
            queued = true;
        } else {
            ++queue_->counts.notWritten;
            queue_->Settle(ordinal, false, 0);
        }
    }
    if (queued)
        queue_->changed.notify_all();
    else
        queue_->report("record for " + UrlForLine(URL) + " not written to " + queue_->file.name() +
                       ": " + std::to_string(kMaxPendingRecords) +
                       " earlier records still wait for it");
    return ordinal;
}

void ResultLog::OnSettled(RecordSettledHook hook) {
    std::lock_guard lock(queue_->mutex);
    queue_->settledHook = std::move(hook);
}

RecordCounts ResultLog::Counts() const {
    std::lock_guard lock(queue_->mutex);
    return queue_->counts;
}

bool ResultLog::Flush(std::chrono::milliseconds bound) {
    std::unique_lock lock(queue_->mutex);
    return queue_->changed.wait_for(lock, bound,
                                    [this] { return queue_->settled == queue_->handedOver; });
}

// Holds the queue, not the log: a write stuck in the kernel may return after
// the log is gone.
void ResultLog::WriteUntilClosed(std::shared_ptr<Queue> queue) {
    std::unique_lock lock(queue->mutex);
    for (;;) {
        queue->changed.wait(lock, [&] { return queue->closing || !queue->pending.empty(); });
        if (queue->pending.empty())
            return;
        const PendingRecord next = std::move(queue->pending.front());
        queue->pending.pop_front();
        lock.unlock();
        const bool written = queue->file.Append(next.record, next.url);
        lock.lock();
        ++(written ? queue->counts.written : queue->counts.notWritten);
        ++queue->settled;
        queue->Settle(next.ordinal, written, written ? 0 : queue->file.lastError());
        queue->changed.notify_all();
    }
}

} // namespace torvesk::engine
