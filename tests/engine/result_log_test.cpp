// URL.csv records: the plain format where no field needs quoting, quoting
// that any CSV reader undoes, CR LF line breaks, and skipped records when the
// file cannot be opened.
#include "result_log.h"

#include "support/temp_dir.h"

#include <csv.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Record = std::vector<std::string>;

// Parses text with libcsv (strict mode) into records of fields.
std::vector<Record> ParseCsv(const std::string& text) {
    struct Sink {
        std::vector<Record> records;
        Record current;
    } sink;
    auto onField = [](void* field, size_t length, void* data) {
        static_cast<Sink*>(data)->current.emplace_back(static_cast<char*>(field), length);
    };
    auto onRecordEnd = [](int, void* data) {
        Sink* s = static_cast<Sink*>(data);
        s->records.push_back(std::move(s->current));
        s->current.clear();
    };
    csv_parser parser;
    EXPECT_EQ(csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI), 0);
    EXPECT_EQ(csv_parse(&parser, text.data(), text.size(), onField, onRecordEnd, &sink),
              text.size())
        << csv_strerror(csv_error(&parser));
    csv_fini(&parser, onField, onRecordEnd, &sink);
    csv_free(&parser);
    return sink.records;
}

std::string WithCrLf(std::string text) {
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2))
        text.insert(at, 1, '\r');
    return text;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

TEST(ComposeRecord, PlainFieldsKeepTheUnquotedFormat) {
    EXPECT_EQ(ComposeRecord("http://a/", "Title 100%s", "\x83\x58"),
              "http://a/,Title 100%s,\x83\x58\r\n");
    EXPECT_EQ(ComposeRecord("http://a/", "", ""), "http://a/,,\r\n");
}

TEST(ComposeRecord, AnyCsvReaderGetsTheThreeFieldsBack) {
    const Record awkward[] = {
        {"http://a/", "Hello, world", "plain"},
        {"http://b/", "say \"hi\"", "\"quoted\" key, too"},
        {"http://c/", "two\nlines", "cr\ronly"},
        {"http://d/", "\"", ","},
        {"http://e/", "\n", "end\n"},
    };
    std::string file;
    for (const Record& r : awkward)
        file += ComposeRecord(r[0].c_str(), r[1].c_str(), r[2].c_str());
    std::vector<Record> parsed = ParseCsv(file);
    ASSERT_EQ(parsed.size(), std::size(awkward));
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        ASSERT_EQ(parsed[i].size(), 3u) << "record " << i;
        // Line feeds come back as the file's CR LF; everything else exactly.
        for (int f = 0; f < 3; ++f)
            EXPECT_EQ(parsed[i][f], WithCrLf(awkward[i][f])) << "record " << i << " field " << f;
    }
}

TEST(ComposeRecord, EveryLineFeedIsWrittenAsCrLf) {
    const std::string record = ComposeRecord("u", "a\nb", "c");
    EXPECT_EQ(record, "u,\"a\r\nb\",c\r\n");
}

class AppendRecordTest : public ::testing::Test {
protected:
    TempDir dir_;
};

TEST_F(AppendRecordTest, AppendsAndKeepsEarlierRecords) {
    const std::string path = (dir_.path() / "URL.csv").string();
    EXPECT_TRUE(AppendRecord(path.c_str(), "http://a/", "A", "k"));
    EXPECT_TRUE(AppendRecord(path.c_str(), "http://b/", "B, b", "k"));
    EXPECT_EQ(ReadFile(path), "http://a/,A,k\r\nhttp://b/,\"B, b\",k\r\n");
}

TEST_F(AppendRecordTest, UnopenableFileSkipsTheRecord) {
    const std::filesystem::path directoryInTheWay = dir_.path() / "URL.csv";
    std::filesystem::create_directory(directoryInTheWay);
    EXPECT_FALSE(AppendRecord(directoryInTheWay.c_str(), "http://a/", "A", "k"));
    EXPECT_FALSE(
        AppendRecord((dir_.path() / "missing" / "URL.csv").c_str(), "http://a/", "A", "k"));
    EXPECT_TRUE(std::filesystem::is_directory(directoryInTheWay));
}

} // namespace
