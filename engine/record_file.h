// The file the records go to, each appended whole or not at all, without
// ever waiting on a FIFO that nobody reads.
#pragma once

#include "engine/descriptor.h"

#include <chrono>
#include <string>
#include <string_view>
#include <utility>

// How long a FIFO whose pipe is full may take to make room for a record.
constexpr std::chrono::milliseconds kPipeWait{5000};

class RecordFile {
public:
    explicit RecordFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    // Opens the file for appending (created when missing), writes record and
    // closes it: no handle stays open, except to a FIFO while its reader
    // reads, which then sees one stream. A record cut short (a full device,
    // a size limit) is removed again, so the next one never lands on a torn
    // record; a FIFO without a reader fails at once, and a record of at most
    // PIPE_BUF bytes reaches a FIFO's reader in one piece. On failure nothing
    // of the record is kept and one line on standard error names url and the
    // reason; returns whether the record was written.
    bool Append(std::string_view record, std::string_view url);

private:
    // Reports the record as not written, after removing its written part.
    bool Unwritten(int fd, std::size_t written, int error, std::string_view url);

    const std::string path_;
    Descriptor fifo_; // a FIFO's write end, open between records
};
