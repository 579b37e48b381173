// Fuzz target for the page scanner: the input is a fetched page. The fast
// scanner and the byte-by-byte oracle must give the same title, the same
// links and the same answers to a few pattern searches chosen by the input's
// first bytes. Any difference aborts with both answers printed.
#include "engine/page_scanner.h"
#include "engine/page_scanner_oracle.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

using namespace torvesk::engine;

namespace {

const char* const kMarkers[] = {"\"http://", "/\"",     ".html",   ".htm",   ">",
                                "<",         "<TITLE>", "<Title>", "<title>"};
constexpr int kMarkerCount = sizeof kMarkers / sizeof kMarkers[0];
constexpr int kSearchesPerPage = 3;
constexpr int kBytesPerSearch = 6;
constexpr int kMaxPatternLength = 8;

struct Search {
    std::string pattern;
    int n;
    Position start;
};

// Printable form of scanned bytes for the failure message.
std::string Escaped(const char* text) {
    std::string out;
    for (const char* c = text; *c != '\0'; ++c) {
        unsigned char byte = static_cast<unsigned char>(*c);
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", byte);
        out += byte >= 0x20 && byte < 0x7f ? std::string(1, *c) : std::string(hex);
    }
    return out;
}

[[noreturn]] void TextsDiffer(const char* what, int index, const char* fast, const char* oracle) {
    std::fprintf(stderr, "%s %d differs:\n  fast   \"%s\"\n  oracle \"%s\"\n", what, index,
                 Escaped(fast).c_str(), Escaped(oracle).c_str());
    std::abort();
}

// One buffer for the whole run: whatever an earlier, longer input left past
// the terminator stays, as it does in the crawler's buffer.
PageBuffer& Buffer() {
    static PageBuffer buffer;
    return buffer;
}

void CompareTitles(const PageBuffer& buffer) {
    char fast[kTextCapacity];
    char oracle[kTextCapacity];
    buffer.ExtractTitle(fast);
    OracleExtractTitle(buffer.Bytes(), oracle);
    if (std::strcmp(fast, oracle) != 0)
        TextsDiffer("TITLE", 0, fast, oracle);
}

void CompareLinks(const PageBuffer& buffer) {
    static HarvestedLinks fast;
    static HarvestedLinks oracle;
    buffer.HarvestLinks(fast);
    OracleHarvestLinks(buffer.Bytes(), oracle);
    if (fast.count != oracle.count) {
        std::fprintf(stderr, "link count differs: fast %d oracle %d\n", fast.count, oracle.count);
        std::abort();
    }
    for (int i = 0; i < fast.count; ++i) {
        if (std::strcmp(fast.URL[i], oracle.URL[i]) != 0)
            TextsDiffer("URL of link", i, fast.URL[i], oracle.URL[i]);
        if (std::strcmp(fast.KEY[i], oracle.KEY[i]) != 0)
            TextsDiffer("KEY of link", i, fast.KEY[i], oracle.KEY[i]);
    }
}

// A pattern of nonzero bytes: a marker, or a slice of the page so that it
// matches somewhere.
std::string PatternFrom(const std::uint8_t (&b)[kBytesPerSearch], const std::uint8_t* data,
                        std::size_t size) {
    std::string pattern;
    if (b[3] & 1) {
        pattern = kMarkers[(b[3] >> 1) % kMarkerCount];
    } else {
        std::size_t offset = (b[1] | b[2] << 8) % (size + 1);
        std::size_t length = std::min<std::size_t>(1 + b[0] % kMaxPatternLength, size - offset);
        pattern.assign(reinterpret_cast<const char*>(data) + offset, length);
    }
    pattern.resize(strnlen(pattern.c_str(), pattern.size()));
    return pattern.empty() ? std::string("<") : pattern;
}

// Starts at the front, inside the page, near its end, past its terminator
// among the leftovers, and up against the fixed bound at the buffer's end.
Position StartFrom(const std::uint8_t (&b)[kBytesPerSearch], std::size_t size) {
    Position page = static_cast<Position>(size);
    Position step = b[5] / 5;
    switch (b[5] % 5) {
    case 0:
        return 0;
    case 1:
        return static_cast<Position>((b[1] | b[2] << 8) % (size + 1));
    case 2:
        return std::max(0, page - 1 - step % 40);
    case 3:
        return std::min(kPageCapacity, page + step);
    default:
        return kPageCapacity - step;
    }
}

// The which-th search, read from six header bytes (zero past the input).
Search SearchFrom(const std::uint8_t* data, std::size_t size, int which) {
    std::uint8_t b[kBytesPerSearch];
    for (int i = 0; i < kBytesPerSearch; ++i) {
        std::size_t at = static_cast<std::size_t>(which) * kBytesPerSearch + i;
        b[i] = at < size ? data[at] : 0;
    }
    int n = b[4] < 224 ? 1 + b[4] % 4 : 1 + (b[4] - 224) * 64;
    return {PatternFrom(b, data, size), n, StartFrom(b, size)};
}

void CompareSearches(const PageBuffer& buffer, const std::uint8_t* data, std::size_t size) {
    for (int which = 0; which < kSearchesPerPage; ++which) {
        Search s = SearchFrom(data, size, which);
        int length = static_cast<int>(s.pattern.size());
        Position fast = buffer.FindPattern(s.pattern.c_str(), length, s.n, s.start);
        Position oracle =
            OracleFindPattern(buffer.Bytes(), s.pattern.c_str(), length, s.n, s.start);
        if (fast != oracle) {
            std::fprintf(stderr, "FindPattern(\"%s\", %d, %d, %d) differs: fast %d oracle %d\n",
                         Escaped(s.pattern.c_str()).c_str(), length, s.n, s.start, fast, oracle);
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    size = std::min<std::size_t>(size, kPageCapacity);
    PageBuffer& buffer = Buffer();
    buffer.Fill(std::string_view(reinterpret_cast<const char*>(data), size));
    CompareTitles(buffer);
    CompareLinks(buffer);
    CompareSearches(buffer, data, size);
    return 0;
}
