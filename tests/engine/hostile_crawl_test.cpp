// A crawl through hostile servers on 127.0.0.1: an endless body, a drip, a
// redirection loop, a redirection to a local file, a gzip body sent unasked,
// a 1 MB header line and a connection closed mid-body. None may crash or
// hang the crawl, and URL.csv keeps every record.
#include "engine/crawler.h"

#include "support/blocking_step.h"
#include "support/csv_reader.h"
#include "support/http_test_server.h"
#include "support/temp_dir.h"
#include "support/written_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <thread>

using namespace torvesk::engine;

namespace {

using namespace std::chrono_literals;

// The server gives up on its own by then, so no handler outlives the test.
constexpr auto kServerPatience = 10s;

// Writes data, a pause after each write as a slow server does on purpose,
// until the client goes away or the patience runs out.
void StreamUntilGone(httplib::DataSink& sink, const std::string& data,
                     std::chrono::milliseconds pause) {
    const auto end = std::chrono::steady_clock::now() + kServerPatience;
    while (std::chrono::steady_clock::now() < end && sink.is_writable() &&
           sink.write(data.data(), data.size()))
        std::this_thread::sleep_for(pause);
}

// "<title>Gzipped</title>" compressed with gzip: the bytes must arrive as sent.
const unsigned char kGzipBody[] = {0x1f, 0x8b, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0xff,
                                   0xb3, 0x29, 0xc9, 0x2c, 0xc9, 0x49, 0xb5, 0x73, 0xaf, 0xca,
                                   0x2c, 0x28, 0x48, 0x4d, 0xb1, 0xd1, 0x87, 0x70, 0x01, 0x4f,
                                   0x79, 0xfa, 0x22, 0x16, 0x00, 0x00, 0x00};

class HostileCrawlTest : public ::testing::Test {
protected:
    void SetUp() override {
        limits_.stallTimeout = 300ms;
        limits_.totalTimeout = 1s;
        limits_.maxRedirections = 5;
        crawler_.CrawlInit(3);
        ServeHostilePages();
        server_.Start();
    }

    void ServeHostilePages() {
        httplib::Server& s = server_.server();
        s.Get("/", [this](const httplib::Request&, httplib::Response& r) {
            std::string page = "<title>Root</title>";
            for (const char* path : kHostile)
                page += "<a href=\"" + server_.Url(path) + "\">" + path + "</a>";
            r.set_content(page, "text/html");
        });
        s.Get("/endless/", [](const httplib::Request&, httplib::Response& r) {
            r.set_chunked_content_provider("text/html", [](size_t, httplib::DataSink& sink) {
                const std::string head = "<title>Endless</title>";
                sink.write(head.data(), head.size());
                StreamUntilGone(sink, std::string(64 * 1024, 'x'), 0ms);
                return false;
            });
        });
        s.Get("/drip/", [](const httplib::Request&, httplib::Response& r) {
            r.set_chunked_content_provider("text/html", [](size_t, httplib::DataSink& sink) {
                StreamUntilGone(sink, "<", 100ms); // never a stall, never done
                return false;
            });
        });
        s.Get("/loop/",
              [](const httplib::Request&, httplib::Response& r) { r.set_redirect("/loop/"); });
        s.Get("/to-file/", [](const httplib::Request&, httplib::Response& r) {
            r.set_redirect("file:///etc/passwd");
        });
        s.Get("/gzip/", [](const httplib::Request&, httplib::Response& r) {
            r.set_header("Content-Encoding", "gzip");
            r.set_content(reinterpret_cast<const char*>(kGzipBody), sizeof kGzipBody, "text/html");
        });
        s.Get("/huge-header/", [](const httplib::Request&, httplib::Response& r) {
            r.set_header("X-Filler", std::string(1024 * 1024, 'h'));
            r.set_content("<title>Header</title>", "text/html");
        });
        s.Get("/cut/", [](const httplib::Request&, httplib::Response& r) {
            r.set_content_provider(100000, "text/html",
                                   [](size_t, size_t, httplib::DataSink& sink) {
                                       const std::string part = "<title>Cut</title>";
                                       sink.write(part.data(), part.size());
                                       return false; // closes the connection mid-body
                                   });
        });
    }

    static constexpr const char* kHostile[] = {"/endless/", "/drip/",        "/loop/", "/to-file/",
                                               "/gzip/",    "/huge-header/", "/cut/"};
    FetchLimits limits_;
    TempDir dir_;
    Crawler crawler_{dir_.File("URL.csv")};
    HttpTestServer server_;
};

TEST_F(HostileCrawlTest, EveryPageIsRecordedAndNoneHangsTheCrawl) {
    crawler_.SetCurrentUrl(server_.Url("/"));
    const auto start = std::chrono::steady_clock::now();
    testing::internal::CaptureStderr(); // each failed page says why there
    RunStep(crawler_, crawler_.StartCrawl(), limits_);
    int ticks = 0;
    while (crawler_.stepDone() && ticks++ < 20)
        RunStep(crawler_, crawler_.CrawlTick(), limits_);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 60s);

    std::map<std::string, std::string> titles;
    const std::vector<CsvRecord> records = ParseCsv(WrittenLog(crawler_, dir_.File("URL.csv")));
    ASSERT_EQ(records.size(), 1 + std::size(kHostile));
    EXPECT_EQ(records[0][0], server_.Url("/")) << "the first record stays first";
    for (const CsvRecord& record : records)
        titles[record[0]] = record[1];

    EXPECT_EQ(titles[server_.Url("/endless/")], "Endless") << "cut at the page size, not a failure";
    EXPECT_EQ(titles[server_.Url("/gzip/")], "") << "delivered raw, so no title to be found";
    for (const char* failing : {"/drip/", "/loop/", "/to-file/", "/huge-header/", "/cut/"})
        EXPECT_EQ(titles[server_.Url(failing)], "") << failing << " must give an empty page";
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 5) << said;
}

} // namespace
