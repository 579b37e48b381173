// The result log: one CSV record (URL, TITLE, KEY) appended per visited
// page, written in order on a thread of its own so that the crawl never
// waits on the file.
#pragma once

#include "engine/error_reporter.h"
#include "engine/page_scanner.h"
#include "engine/record_file.h"

#include <chrono>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace torvesk::engine {

// The record as it goes into the file: fields that hold a comma, a double
// quote, a CR or an LF are quoted with inner quotes doubled; every LF byte,
// the closing one included, is written as CR LF. Other bytes are raw. URL,
// TITLE and KEY are the product's own names, kept.
std::string ComposeRecord(const char* URL, const char* TITLE, const char* KEY);

// The longest record of fields of at most kTextCapacity - 1 bytes: quoting
// and CR LF at most double a byte, plus two quotes a field, two commas and
// the line end. A FIFO passes a record of this size on in one piece.
constexpr std::size_t kMaxRecordBytes = 3 * (2 * (kTextCapacity - 1) + 2) + 2 + 2;
static_assert(kMaxRecordBytes <= PIPE_BUF);

// Records that may wait for a slow file; one more is left out and reported.
constexpr std::size_t kMaxPendingRecords = 1000;
// How long the end of a crawl waits for the records still pending.
constexpr std::chrono::milliseconds kCloseWait{500};

// What became of the records handed over so far.
struct RecordCounts {
    std::uint64_t written = 0;
    std::uint64_t notWritten = 0; // each reported
};

// What became of one record: its ordinal (1 for the first handed to
// Append), and why it was not written, when it was not: the error the file
// refused it with, or 0 when it was left out because earlier records still
// waited for the file.
struct RecordSettled {
    std::uint64_t ordinal = 0;
    bool written = false;
    int error = 0;
};
using RecordSettledHook = std::function<void(const RecordSettled&)>;

class ResultLog {
public:
    // Records go to target (see RecordFile::Append); each one not written
    // is reported to report, from the log's thread or the caller's.
    explicit ResultLog(RecordTarget target, ErrorReporter report = ReportOnStandardError);
    // Waits up to kCloseWait for the pending records; what is left then is
    // reported, and a write stuck in the kernel (a slow mount) is left behind.
    ~ResultLog();
    ResultLog(const ResultLog&) = delete;
    ResultLog& operator=(const ResultLog&) = delete;

    // Hands the record over for writing; never waits for the file. Returns
    // the record's ordinal.
    std::uint64_t Append(const char* URL, const char* TITLE, const char* KEY);
    // hook hears of every record as it is settled, in order, on the writer's
    // thread (or Append's, for a record left out); it must not block. An
    // empty hook ends that, and no call is under way once this returns.
    void OnSettled(RecordSettledHook hook);
    // Waits, at most bound, until every record handed over so far is in the
    // file or reported as not written; returns whether that came about.
    bool Flush(std::chrono::milliseconds bound);
    RecordCounts Counts() const;

private:
    struct Queue;
    static void WriteUntilClosed(std::shared_ptr<Queue> queue);

    std::shared_ptr<Queue> queue_; // shared with the writer, which may outlive this
    std::thread writer_;
};

} // namespace torvesk::engine
