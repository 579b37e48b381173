// The file the records go to, each appended whole or not at all, without
// ever waiting on a FIFO that nobody reads; or a descriptor given for them.
#pragma once

#include "engine/descriptor.h"
#include "engine/error_reporter.h"

#include <chrono>
#include <string>
#include <string_view>
#include <utility>

namespace torvesk::engine {

// How long a FIFO whose pipe is full may take to make room for a record.
constexpr std::chrono::milliseconds kPipeWait{5000};

// Where records go: the file at path, opened for each record; or a
// descriptor already open (an inherited standard output, a FIFO opened
// once), kept for every record and named in lines as name. An open
// descriptor with a path is opened again at path after its reader left; one
// without a path never is.
struct RecordTarget {
    RecordTarget(std::string filePath) : path(filePath), name(std::move(filePath)) {}
    RecordTarget(std::string filePath, std::string shownName, Descriptor descriptor)
        : path(std::move(filePath)), name(std::move(shownName)), open(std::move(descriptor)) {}

    std::string path;
    std::string name;
    Descriptor open;
};

class RecordFile {
public:
    // Each record that cannot be written is reported to report.
    explicit RecordFile(RecordTarget target, ErrorReporter report = ReportOnStandardError)
        : path_(std::move(target.path)), name_(std::move(target.name)),
          open_(std::move(target.open)), given_(open_.get() >= 0 && path_.empty()),
          report_(std::move(report)) {}

    // The file as lines name it.
    const std::string& name() const { return name_; }

    // Opens the file for appending (created when missing), writes record and
    // closes it: no handle stays open, except to a FIFO while its reader
    // reads, which then sees one stream, and a descriptor given, which is
    // written as it is (blocking if it blocks). A record cut short (a full device,
    // a size limit) is removed again, so the next one never lands on a torn
    // record; a FIFO without a reader fails at once, and a record of at most
    // PIPE_BUF bytes reaches a FIFO's reader in one piece. On failure nothing
    // of the record is kept and one line reported names url and the reason;
    // returns whether the record was written.
    bool Append(std::string_view record, std::string_view url);
    // The error the last record not written was refused with; never 0 once
    // one was not.
    int lastError() const { return lastError_; }

private:
    // Reports the record as not written, after removing its written part.
    bool Unwritten(int fd, std::size_t written, int error, std::string_view url);
    bool Failed(std::string_view url, const char* what, int error, const std::string& why);

    const std::string path_;
    const std::string name_;
    Descriptor open_;  // a FIFO's write end between records, or the descriptor given
    const bool given_; // open_ is all there is: never closed, never opened again
    const ErrorReporter report_;
    int lastError_ = 0;
};

} // namespace torvesk::engine
