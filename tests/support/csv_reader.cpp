// libcsv behind ParseCsv, and a whole-file reader for the tests.
#include "support/csv_reader.h"

#include <csv.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

struct CsvSink {
    std::vector<CsvRecord> records;
    CsvRecord current;
};

void OnField(void* field, size_t length, void* data) {
    static_cast<CsvSink*>(data)->current.emplace_back(static_cast<char*>(field), length);
}

void OnRecordEnd(int, void* data) {
    CsvSink* sink = static_cast<CsvSink*>(data);
    sink->records.push_back(std::move(sink->current));
    sink->current.clear();
}

} // namespace

std::vector<CsvRecord> ParseCsv(const std::string& text) {
    CsvSink sink;
    csv_parser parser;
    EXPECT_EQ(csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI), 0);
    EXPECT_EQ(csv_parse(&parser, text.data(), text.size(), OnField, OnRecordEnd, &sink),
              text.size())
        << csv_strerror(csv_error(&parser));
    EXPECT_EQ(csv_fini(&parser, OnField, OnRecordEnd, &sink), 0)
        << csv_strerror(csv_error(&parser));
    csv_free(&parser);
    return sink.records;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}
