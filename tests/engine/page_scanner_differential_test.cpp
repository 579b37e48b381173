// Differential test: the fast scanner against the byte-by-byte oracle on
// seeded random pages built from the markers the scanner looks for, random
// bytes (zero included), long runs of text, full-size pages and leftover
// bytes past the terminator. Every result must match byte for byte.
#include "engine/page_scanner.h"
#include "engine/page_scanner_oracle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

using namespace torvesk::engine;

namespace {

const char* const kPieces[] = {"\"http://", "/\"",     ".html",   ".htm",   ">",
                               "<",         "<TITLE>", "<Title>", "<title>"};
constexpr int kPieceCount = sizeof kPieces / sizeof kPieces[0];

class PageMaker {
public:
    explicit PageMaker(unsigned seed) : rng_(seed) {}

    int Below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(rng_); }

    // A page of exactly size bytes; markerShare in 0..99 sets how dense the
    // markers are against text and noise.
    std::string Page(int size, int markerShare, bool withZeros) {
        std::string page;
        page.reserve(size + 300);
        while (static_cast<int>(page.size()) < size)
            page += Below(100) < markerShare ? kPieces[Below(kPieceCount)] : Filler(withZeros);
        page.resize(size);
        return page;
    }

    // Random bytes; with zeros, one now and then cuts the page short.
    std::string Noise(int count, bool withZeros) {
        std::string bytes;
        for (int i = 0; i < count; ++i)
            bytes += static_cast<char>(withZeros && Below(40) == 0 ? 0 : 1 + Below(255));
        return bytes;
    }

private:
    // Text, noise, and spans whose lengths straddle the 200-byte limits.
    std::string Filler(bool withZeros) {
        switch (Below(6)) {
        case 0:
            return Noise(1 + Below(6), withZeros);
        case 1:
            return std::string(1 + Below(250), "kx /.u"[Below(6)]);
        case 2:
            return ">" + Text(194 + Below(13)) + "<";
        case 3:
            return "\"http://" + Text(186 + Below(13)) + "/\">";
        default:
            return Text(1 + Below(12));
        }
    }

    std::string Text(int count) {
        static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789 /.:#?=";
        std::string text;
        for (int i = 0; i < count; ++i)
            text += kChars[Below(sizeof kChars - 1)];
        return text;
    }

    std::mt19937 rng_;
};

void CompareTitles(const PageBuffer& buffer) {
    char fast[kTextCapacity];
    char oracle[kTextCapacity];
    buffer.ExtractTitle(fast);
    OracleExtractTitle(buffer.Bytes(), oracle);
    EXPECT_STREQ(fast, oracle) << "TITLE";
}

void CompareLinks(const PageBuffer& buffer) {
    static HarvestedLinks fast;
    static HarvestedLinks oracle;
    buffer.HarvestLinks(fast);
    OracleHarvestLinks(buffer.Bytes(), oracle);
    ASSERT_EQ(fast.count, oracle.count) << "link count";
    for (int i = 0; i < fast.count; ++i) {
        EXPECT_STREQ(fast.URL[i], oracle.URL[i]) << "URL of link " << i;
        EXPECT_STREQ(fast.KEY[i], oracle.KEY[i]) << "KEY of link " << i;
    }
}

// A pattern of 1 to 8 nonzero bytes: a marker, a slice of the page (often
// from its last bytes, where the fixed bound bites), or noise.
std::string RandomPattern(PageMaker& maker, const std::string& page) {
    std::string pattern;
    int size = static_cast<int>(page.size());
    int length = 1 + maker.Below(8);
    int pick = maker.Below(4);
    if (pick == 0)
        pattern = kPieces[maker.Below(kPieceCount)];
    else if (pick == 1 && size > 0)
        pattern = page.substr(maker.Below(size), length);
    else if (pick == 2 && size > 0)
        pattern = page.substr(std::max(0, size - length - maker.Below(3)), length);
    else
        pattern = maker.Noise(1 + maker.Below(3), false);
    pattern = pattern.substr(0, strnlen(pattern.c_str(), pattern.size()));
    return pattern.empty() ? std::string("<") : pattern;
}

// Starts mostly inside the page, some near its end, some past it into the
// leftovers.
Position RandomStart(PageMaker& maker, int pageSize) {
    switch (maker.Below(5)) {
    case 0:
        return 0;
    case 1:
        return maker.Below(kPageCapacity + 1);
    case 2:
        return std::max(0, pageSize - 1 - maker.Below(40));
    default:
        return maker.Below(pageSize + 2);
    }
}

void CompareSearches(const PageBuffer& buffer, PageMaker& maker, const std::string& page,
                     int searches) {
    for (int i = 0; i < searches; ++i) {
        std::string pattern = RandomPattern(maker, page);
        int length = static_cast<int>(pattern.size());
        int n = maker.Below(8) == 0 ? 1 + maker.Below(2000) : 1 + maker.Below(4);
        Position start = RandomStart(maker, static_cast<int>(page.size()));
        EXPECT_EQ(buffer.FindPattern(pattern.c_str(), length, n, start),
                  OracleFindPattern(buffer.Bytes(), pattern.c_str(), length, n, start))
            << "pattern \"" << pattern << "\" n " << n << " start " << start;
    }
}

// Fills page over whatever the buffer holds, so bytes of an earlier, longer
// page stay behind its terminator, and compares every answer on it.
void ComparePage(PageBuffer& buffer, PageMaker& maker, const std::string& page, int searches) {
    buffer.Fill(page);
    CompareTitles(buffer);
    CompareLinks(buffer);
    CompareSearches(buffer, maker, page, searches);
}

class PageScannerDifferentialTest : public ::testing::Test {
protected:
    PageBuffer buffer_;
};

TEST_F(PageScannerDifferentialTest, SmallPages) {
    PageMaker maker(20240611);
    for (int id = 0; id < 8000 && !HasFailure(); ++id) {
        SCOPED_TRACE("small case " + std::to_string(id));
        if (maker.Below(2) == 0) // an earlier, longer page leaves its bytes behind
            buffer_.Fill(maker.Page(3000, 1 + maker.Below(90), false));
        std::string page = maker.Page(maker.Below(2000), 1 + maker.Below(90), maker.Below(2) == 0);
        ComparePage(buffer_, maker, page, 10);
    }
}

TEST_F(PageScannerDifferentialTest, ManyLinkStarts) {
    PageMaker maker(77);
    for (int id = 0; id < 300 && !HasFailure(); ++id) {
        SCOPED_TRACE("link-start case " + std::to_string(id));
        std::string page;
        for (int k = 90 + maker.Below(30); k > 0; --k)
            page += "\"http://" + maker.Page(maker.Below(40), 40, false);
        ComparePage(buffer_, maker, page, 5);
    }
}

TEST_F(PageScannerDifferentialTest, MediumPages) {
    PageMaker maker(4242);
    for (int id = 0; id < 80 && !HasFailure(); ++id) {
        SCOPED_TRACE("medium case " + std::to_string(id));
        std::string page = maker.Page(10000 + maker.Below(90000), 1 + maker.Below(20), false);
        ComparePage(buffer_, maker, page, 20);
    }
}

// Full pages stress the fixed bound near the end and the cursors over long
// stretches; the oracle is slow on them, so there are few.
TEST_F(PageScannerDifferentialTest, FullSizePages) {
    PageMaker maker(1000000);
    for (int id = 0; id < 8 && !HasFailure(); ++id) {
        SCOPED_TRACE("full-size case " + std::to_string(id));
        std::string page = maker.Page(kPageCapacity, id == 0 ? 30 : 1 + maker.Below(3), false);
        // The tail is dense with markers, so some straddle the last positions.
        std::string tail = maker.Page(40 + maker.Below(400), 70, false);
        page.replace(kPageCapacity - tail.size(), tail.size(), tail);
        ComparePage(buffer_, maker, page, 20);
    }
}

TEST_F(PageScannerDifferentialTest, LinkStartsWithoutEndMarkers) {
    PageMaker maker(99);
    std::string page(kPageCapacity, 'q');
    for (int k = 0; k < kMaxLinksPerPage; ++k)
        page.replace(maker.Below(kPageCapacity - 8), 8, "\"http://");
    {
        SCOPED_TRACE("no end markers");
        ComparePage(buffer_, maker, page, 10);
    }
    // A shorter page over it: the old link starts linger past the terminator.
    SCOPED_TRACE("shorter page over leftovers");
    ComparePage(buffer_, maker, maker.Page(600000, 5, false), 20);
}

} // namespace
