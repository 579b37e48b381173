// The page buffer and the three ways the crawler reads it: the n-th
// occurrence of a byte pattern, the page title, and absolute links with
// their link texts. Plain byte matching on the raw page, no decoding.
#pragma once

#include <cstdint>

constexpr int kPageCapacity = 1000000; // page bytes; one more holds the terminator
constexpr int kTextCapacity = 300;     // every stored text buffer
constexpr int kMaxTakenText = 200;     // URL, TITLE or KEY taken from a page
constexpr int kMaxLinksPerPage = 100;  // link starts examined per page
constexpr int kTitleTagLength = 7;
constexpr int kLinkStartLength = 8;

using Position = std::int32_t;
constexpr Position kNotFound = -1;

// The fetched page, raw, followed by a zero byte at index ReadSize. All zero
// at start-up. Bytes past that zero are leftovers and never read.
extern char g_pageBuffer[kPageCapacity + 1];

// Working buffers of the scanner: tmp holds the URL end markers, tmp2 the
// link start (a double quote and "http://").
extern char tmp[10];
extern char tmp2[kTextCapacity];

// The links of one page, in order of their link number.
struct HarvestedLinks {
    int count;
    char URL[kMaxLinksPerPage][kTextCapacity];
    char KEY[kMaxLinksPerPage][kTextCapacity];
};

// Position of the n-th (n >= 1) occurrence of pattern at or after start,
// overlapping occurrences included, or kNotFound. The scan stops at the first
// zero byte and never looks at positions from kPageCapacity - length on.
Position FindPattern(const char* pattern, int length, int n, Position start);

// Writes the page title (possibly empty) into TITLE.
void ExtractTitle(char (&TITLE)[kTextCapacity]);

// Fills links with the accepted links among the first 100 link starts.
void HarvestLinks(HarvestedLinks& links);

// Empties the page buffer (tests and start-up state).
void ClearPageBuffer();
