// URL.csv records: the plain format where no field needs quoting, quoting
// that any CSV reader undoes, CR LF line breaks; each record in the file
// whole or not at all (a full device, a file that cannot be opened, a FIFO
// with or without a reader, which sees one stream); and the log's writer,
// which the crawl never waits for.
#include "engine/record_file.h"
#include "engine/result_log.h"

#include "support/csv_reader.h"
#include "support/temp_dir.h"
#include "support/written_log.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace torvesk::engine;

namespace {

using namespace std::chrono_literals;

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
    EXPECT_EQ(ComposeRecord("u", "a\nb", "c"), "u,\"a\r\nb\",c\r\n");
    EXPECT_EQ(ComposeRecord("u", "a\r\nb", "c"), "u,\"a\r\r\nb\",c\r\n")
        << "an inner CR LF is stored as CR CR LF";
}

std::string RecordFor(int i) {
    const std::string url = "http://h/" + std::to_string(i) + "/";
    return ComposeRecord(url.c_str(), "Title, quoted", "k");
}

// Files may grow only to limit bytes while this lives; a write past it is
// cut there and the next one fails with EFBIG, as on a full device.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) : oldAction_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit lowered = old_;
        lowered.rlim_cur = limit;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &lowered), 0);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldAction_);
    }

private:
    rlimit old_{};
    void (*oldAction_)(int);
};

// The reading end of a FIFO, opened without waiting for a writer.
class FifoReader {
public:
    explicit FifoReader(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_NONBLOCK)) {
        EXPECT_GE(fd_, 0);
    }
    ~FifoReader() { Close(); }
    FifoReader(const FifoReader&) = delete;
    FifoReader& operator=(const FifoReader&) = delete;

    // One page of pipe, so that a few records fill it.
    void ShrinkPipe() { EXPECT_GT(fcntl(fd_, F_SETPIPE_SZ, 4096), 0); }
    void Close() {
        if (fd_ >= 0)
            close(fd_);
        fd_ = -1;
    }
    // What the pipe holds now.
    std::string ReadWaiting() {
        std::string got;
        char chunk[512];
        for (ssize_t n; (n = read(fd_, chunk, sizeof chunk)) > 0;)
            got.append(chunk, static_cast<std::size_t>(n));
        return got;
    }
    // Whether the pipe is empty and has no writer: the end of the stream.
    bool AtEnd() {
        char byte;
        return read(fd_, &byte, 1) == 0;
    }
    // Reads until want bytes came, a little at a time and slowly, so that
    // the pipe fills up now and then; gives up after kLogWait. The pause is
    // the slow reader this simulates on purpose, not a wait for the writer.
    std::string ReadSlowly(std::size_t want) {
        std::string got;
        const auto deadline = std::chrono::steady_clock::now() + kLogWait;
        char chunk[512];
        while (got.size() < want && std::chrono::steady_clock::now() < deadline) {
            const ssize_t n = read(fd_, chunk, sizeof chunk);
            if (n > 0)
                got.append(chunk, static_cast<std::size_t>(n));
            std::this_thread::sleep_for(200us);
        }
        return got;
    }

private:
    int fd_;
};

class RecordFileTest : public ::testing::Test {
protected:
    bool Append(int i) { return file_.Append(RecordFor(i), "http://h/"); }

    TempDir dir_;
    const std::string path_ = dir_.File("URL.csv");
    RecordFile file_{path_};
};

TEST_F(RecordFileTest, AppendsAndKeepsEarlierRecords) {
    EXPECT_TRUE(Append(1));
    EXPECT_TRUE(Append(2));
    EXPECT_EQ(ReadWholeFile(path_), RecordFor(1) + RecordFor(2));
}

TEST_F(RecordFileTest, FileThatCannotBeOpenedSkipsTheRecordWithTheReason) {
    std::filesystem::create_directory(path_);
    const std::string missing = dir_.File("missing/URL.csv");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(file_.Append(RecordFor(1), "http://a/"));
    // The line names the URL on one line and keeps its password back.
    EXPECT_FALSE(RecordFile(missing).Append(RecordFor(1), "http://u:s3cret@b/x\ny"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "torvesk: record for http://a/ not written to " + path_ +
                  ": Is a directory\ntorvesk: record for http://u:***@b/x%0Ay not written to " +
                  missing + ": No such file or directory\n");
    EXPECT_TRUE(std::filesystem::is_directory(path_));
}

// The file may take only part of the record, as a device with a few bytes
// left does: that part goes again, and the next record starts on a whole one.
// (The limit holds for every file; the records before keep the captured
// error line below it.)
TEST_F(RecordFileTest, RecordCutShortIsRemovedAndTheNextOneIsWhole) {
    std::string before;
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(Append(i));
        before += RecordFor(i);
    }
    testing::internal::CaptureStderr();
    {
        FileSizeLimit nearlyFull(before.size() + 7);
        EXPECT_FALSE(Append(10));
        EXPECT_EQ(ReadWholeFile(path_), before) << "the record was cut at the limit";
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "torvesk: record for http://h/ not written to " + path_ + ": File too large\n");
    EXPECT_TRUE(Append(11));
    EXPECT_EQ(ReadWholeFile(path_), before + RecordFor(11));
}

TEST_F(RecordFileTest, FifoWithoutReaderFailsAtOnceWithTheReason) {
    ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Append(1));
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "not written to " + path_ + ": it is a FIFO that no program is reading"),
              std::string::npos);
}

// A FIFO closed after every record would show its reader an end of file
// there, and a reader such as cat would stop after the first record.
TEST_F(RecordFileTest, AFifoStaysOpenWhileItsReaderReads) {
    ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
    FifoReader reader(path_);
    {
        RecordFile fifo(path_);
        ASSERT_TRUE(fifo.Append(RecordFor(1), "http://h/"));
        ASSERT_TRUE(fifo.Append(RecordFor(2), "http://h/"));
        EXPECT_EQ(reader.ReadWaiting(), RecordFor(1) + RecordFor(2));
        EXPECT_FALSE(reader.AtEnd());
    }
    EXPECT_TRUE(reader.AtEnd()) << "the end comes with the crawl's end";
}

// More records than the pipe holds: the writer waits for room, and every
// record arrives whole and in order.
TEST_F(RecordFileTest, FifoReaderGetsEveryRecordWhole) {
    ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
    FifoReader reader(path_);
    reader.ShrinkPipe();
    std::string sent;
    for (int i = 0; i < 400; ++i)
        sent += RecordFor(i);
    std::string received;
    std::thread reading([&] { received = reader.ReadSlowly(sent.size()); });
    for (int i = 0; i < 400; ++i)
        EXPECT_TRUE(Append(i));
    reading.join();
    EXPECT_EQ(received, sent);
}

class ResultLogTest : public RecordFileTest {
protected:
    // A log whose FIFO reader takes nothing: the writer is left waiting for
    // room, with records still queued behind it.
    std::unique_ptr<ResultLog> StuckLog(FifoReader& reader) {
        reader.ShrinkPipe();
        auto log = std::make_unique<ResultLog>(path_);
        for (int i = 0; i < 400; ++i)
            log->Append(("http://h/" + std::to_string(i) + "/").c_str(), "Title, quoted", "k");
        EXPECT_FALSE(log->Flush(100ms)) << "the pipe took every record";
        return log;
    }
};

// Handing records over never waits for the file, and the end of the crawl
// waits for a stuck writer no longer than kCloseWait.
TEST_F(ResultLogTest, AStuckFileHoldsUpNeitherTheCrawlNorItsEnd) {
    ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
    FifoReader reader(path_);
    std::unique_ptr<ResultLog> log = StuckLog(reader);
    testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    log.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10 * kCloseWait);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "records not written to " + path_ +
                  ": it was still busy with an earlier record when the crawl ended"),
              std::string::npos);
}

// Writing into a pipe whose reader has gone raises SIGPIPE, which would end
// the program: the record fails instead, and the rest find no reader.
TEST_F(ResultLogTest, AReaderThatGoesAwayFailsTheRecordAndTheProgramLives) {
    ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
    FifoReader reader(path_);
    std::unique_ptr<ResultLog> log = StuckLog(reader);
    testing::internal::CaptureStderr();
    reader.Close();
    EXPECT_TRUE(log->Flush(kLogWait));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(": the program reading it has closed it\n"), std::string::npos) << said;
    EXPECT_NE(said.find(": it is a FIFO that no program is reading"), std::string::npos) << said;
}

} // namespace
