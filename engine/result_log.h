// The result log: one CSV record (URL, TITLE, KEY) appended per visited page.
#pragma once

#include <string>

// The record as it goes into the file: fields that hold a comma, a double
// quote, a CR or an LF are quoted with inner quotes doubled; every LF byte,
// the closing one included, is written as CR LF. Other bytes are raw.
std::string ComposeRecord(const char* URL, const char* TITLE, const char* KEY);

// Opens path for appending, writes the record, closes it. On failure the
// record is skipped with one line on standard error; returns whether it was
// written.
bool AppendRecord(const char* path, const char* URL, const char* TITLE, const char* KEY);
