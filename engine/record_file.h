// Appending one record to a file whole or not at all, without ever waiting
// on a FIFO that nobody reads.
#pragma once

#include <chrono>
#include <string_view>

// How long a FIFO whose pipe is full may take to make room for a record.
constexpr std::chrono::milliseconds kPipeWait{5000};

// Opens path for appending (created when missing), writes record and closes
// the file; no handle stays open. A record cut short (a full device, a size
// limit) is removed again, so the next one never lands on a torn record; a
// FIFO without a reader fails at once. A record of at most PIPE_BUF bytes
// reaches a FIFO's reader in one piece. On failure nothing of the record is
// kept and one line on standard error names url and the reason; returns
// whether the record was written.
bool AppendRecord(const char* path, std::string_view record, std::string_view url);
