// Composing and appending the URL.csv records.
#include "engine/result_log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

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

} // namespace

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

// Closed right after the write, so no handle stays open between steps and
// a failed close (a full disk) is seen.
bool AppendRecord(const char* path, const char* URL, const char* TITLE, const char* KEY) {
    const std::string record = ComposeRecord(URL, TITLE, KEY);
    bool written = false;
    if (std::FILE* file = std::fopen(path, "ab")) {
        written = std::fwrite(record.data(), 1, record.size(), file) == record.size();
        written = std::fclose(file) == 0 && written;
    }
    if (!written)
        std::fprintf(stderr, "torvesk: record for %s not written to %s: %s\n", URL, path,
                     std::strerror(errno));
    return written;
}
