// URL.csv records: the plain format where no field needs quoting, quoting
// that any CSV reader undoes, CR LF line breaks, and skipped records when the
// file cannot be opened.
#include "engine/result_log.h"

#include "support/csv_reader.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

std::string WithCrLf(std::string text) {
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2))
        text.insert(at, 1, '\r');
    return text;
}

TEST(ComposeRecord, PlainFieldsKeepTheUnquotedFormat) {
    EXPECT_EQ(ComposeRecord("http://a/", "Title 100%s", "\x83\x58"),
              "http://a/,Title 100%s,\x83\x58\r\n");
    EXPECT_EQ(ComposeRecord("http://a/", "", ""), "http://a/,,\r\n");
}

TEST(ComposeRecord, AnyCsvReaderGetsTheThreeFieldsBack) {
    const CsvRecord awkward[] = {
        {"http://a/", "Hello, world", "plain"},
        {"http://b/", "say \"hi\"", "\"quoted\" key, too"},
        {"http://c/", "two\nlines", "cr\ronly"},
        {"http://d/", "\"", ","},
        {"http://e/", "\n", "end\n"},
    };
    std::string file;
    for (const CsvRecord& r : awkward)
        file += ComposeRecord(r[0].c_str(), r[1].c_str(), r[2].c_str());
    std::vector<CsvRecord> parsed = ParseCsv(file);
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
    EXPECT_EQ(ReadWholeFile(path), "http://a/,A,k\r\nhttp://b/,\"B, b\",k\r\n");
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
