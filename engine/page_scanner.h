// The page buffer and the three ways the crawler reads it: the n-th
// occurrence of a byte pattern, the page title, and absolute links with
// their link texts. Plain byte matching on the raw page, no decoding.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace torvesk::engine {

constexpr int kPageCapacity = 1000000; // page bytes; one more holds the terminator
constexpr int kTextCapacity = 300;     // every stored text buffer
constexpr int kMaxTakenText = 200;     // URL, TITLE or KEY taken from a page
constexpr int kMaxLinksPerPage = 100;  // link starts examined per page
constexpr int kTitleTagLength = 7;
constexpr int kLinkStartLength = 8;

using Position = std::int32_t;
constexpr Position kNotFound = -1;

// The links of one page, in order of their link number.
struct HarvestedLinks {
    int count;
    char URL[kMaxLinksPerPage][kTextCapacity]; // URL, KEY: the product's own names, kept
    char KEY[kMaxLinksPerPage][kTextCapacity];
};

// The fetched page, raw, followed by a zero byte at index ReadSize (Fill's
// count, under the product's own name, kept). All zero when made. Bytes past
// that zero are leftovers of longer pages, never read.
class PageBuffer {
public:
    PageBuffer();

    // Holds body (its first kPageCapacity bytes) and the terminator after it.
    void Fill(std::string_view body);
    // The kPageCapacity + 1 bytes, leftovers included.
    const char* Bytes() const { return bytes_.get(); }

    // Position of the n-th (n >= 1) occurrence of pattern at or after start,
    // overlapping occurrences included, or kNotFound. The scan stops at the
    // first zero byte and never looks at positions from kPageCapacity - length on.
    // FindPattern, ExtractTitle, HarvestLinks: the engine's own names, kept.
    Position FindPattern(const char* pattern, int length, int n, Position start) const;

    // Writes the page title (possibly empty) into TITLE (the product's own name, kept).
    void ExtractTitle(char (&TITLE)[kTextCapacity]) const;

    // Fills links with the accepted links among the first 100 link starts.
    void HarvestLinks(HarvestedLinks& links) const;

private:
    std::unique_ptr<char[]> bytes_;
};

} // namespace torvesk::engine
