// The page buffer and its scanner: pattern search, title and link harvest.
// Results equal a byte-by-byte scan; the work is done with memchr, a block
// search for two bytes and memmem over the page's nonzero bytes, and
// HarvestLinks remembers its last answer per marker so a big page is walked
// a few times, not once per link.
#include "engine/page_scanner.h"

#include <algorithm>
#include <cstring>

namespace torvesk::engine {

namespace {

// The URL end markers share bytes: ".htm" is the front of ".html". tmp and
// tmp2 are the product's own names, kept.
constexpr char tmp[10] = "/\".html";
// The link start: a double quote and "http://".
constexpr char tmp2[] = "\"http://";

const char* const kSlashQuote = tmp;
const char* const kHtml = tmp + 2;
const char* const kHtm = tmp + 2;
constexpr int kSlashQuoteLength = 2;
constexpr int kHtmlLength = 5;
constexpr int kHtmLength = 4;

const char* const kTitleTags[] = {"<TITLE>", "<Title>", "<title>"};

// No match may reach this index: a pattern of length m is only tried at
// positions below kPageCapacity - m, so its last byte lies below kScanLimit.
constexpr Position kScanLimit = kPageCapacity - 1;

// End of the bytes a scan from start can match: the first zero byte at or
// after start, capped at kScanLimit. Patterns hold no zero byte, so every
// match lies wholly inside [start, end).
Position ScanEnd(const char* page, Position start) {
    if (start >= kScanLimit)
        return start;
    return start + static_cast<Position>(strnlen(page + start, kScanLimit - start));
}

// The first place in haystack where first is followed by second, or null.
// The C library's search goes byte by byte for a pattern of two bytes;
// testing a block of bytes at a time lets the compiler test them side by side.
const char* FindPair(const char* haystack, std::size_t size, char first, char second) {
    constexpr std::size_t kBlock = 64;
    if (size < 2)
        return nullptr;
    const std::size_t starts = size - 1;
    std::size_t i = 0;
    for (; i + kBlock <= starts; i += kBlock) {
        unsigned char any = 0;
        for (std::size_t k = 0; k < kBlock; ++k)
            any |= static_cast<unsigned char>(haystack[i + k] == first) &
                   static_cast<unsigned char>(haystack[i + k + 1] == second);
        if (any)
            break;
    }
    for (; i < starts; ++i)
        if (haystack[i] == first && haystack[i + 1] == second)
            return haystack + i;
    return nullptr;
}

// One pattern byte is a memchr and two a FindPair; longer ones are memmem,
// which skips ahead by the pattern's length.
const void* Search(const char* haystack, std::size_t size, const char* pattern, int length) {
    if (length == 1)
        return std::memchr(haystack, pattern[0], size);
    if (length == 2)
        return FindPair(haystack, size, pattern[0], pattern[1]);
    return memmem(haystack, size, pattern, length);
}

// First occurrence of pattern inside [from, end), or kNotFound.
Position FirstMatch(const char* page, const char* pattern, int length, Position from,
                    Position end) {
    if (from >= end)
        return kNotFound;
    const char* haystack = page + from;
    const void* hit = Search(haystack, end - from, pattern, length);
    if (hit == nullptr)
        return kNotFound;
    return static_cast<Position>(static_cast<const char*>(hit) - page);
}

// Answers "first occurrence at or after start" for a run of mostly rising
// starts, reusing the previous answer when the new start cannot change it.
class FirstMatchCursor {
public:
    FirstMatchCursor(const char* page, const char* pattern, int length, Position end)
        : page_(page), pattern_(pattern), length_(length), end_(end) {}

    Position From(Position start) {
        bool answerStillHolds =
            searched_ && start >= lastStart_ && (lastAnswer_ == kNotFound || lastAnswer_ >= start);
        if (answerStillHolds)
            return lastAnswer_;
        searched_ = true;
        lastStart_ = start;
        lastAnswer_ = FirstMatch(page_, pattern_, length_, start, end_);
        return lastAnswer_;
    }

private:
    const char* page_;
    const char* pattern_;
    int length_;
    Position end_;
    bool searched_ = false;
    Position lastStart_ = 0;
    Position lastAnswer_ = kNotFound;
};

// One cursor per search HarvestLinks makes. The link starts s rise with k,
// and so do e and ks: a first match never moves back as its start rises, and
// when one marker kind runs out, its last match lies before the new s.
struct LinkScan {
    LinkScan(const char* scanned, Position end)
        : page(scanned), slashQuote(page, kSlashQuote, kSlashQuoteLength, end),
          html(page, kHtml, kHtmlLength, end), htm(page, kHtm, kHtmLength, end),
          closeAfterLink(page, ">", 1, end), openAfterText(page, "<", 1, end) {}

    const char* page;
    FirstMatchCursor slashQuote;
    FirstMatchCursor html;
    FirstMatchCursor htm;
    FirstMatchCursor closeAfterLink;
    FirstMatchCursor openAfterText;
};

// Copies page bytes first..last inclusive (none when last < first).
void CopySpan(char (&dst)[kTextCapacity], const char* page, Position first, Position last) {
    Position count = last < first ? 0 : last - first + 1;
    if (count > kTextCapacity - 1)
        count = kTextCapacity - 1;
    std::memcpy(dst, page + first, count);
    dst[count] = '\0';
}

// Fills starts with the positions of the first occurrences of tmp2.
int FindLinkStarts(const char* page, Position end, Position (&starts)[kMaxLinksPerPage]) {
    int found = 0;
    Position from = 0;
    while (found < kMaxLinksPerPage) {
        Position hit = FirstMatch(page, tmp2, kLinkStartLength, from, end);
        if (hit == kNotFound)
            break;
        starts[found++] = hit;
        from = hit + 1;
    }
    return found;
}

// Last byte of the URL starting at s, or kNotFound when no marker follows.
Position UrlEnd(LinkScan& scan, Position s) {
    Position p = scan.slashQuote.From(s);
    if (p != kNotFound)
        return p;
    p = scan.html.From(s);
    if (p != kNotFound)
        return p + kHtmlLength - 1;
    p = scan.htm.From(s);
    if (p != kNotFound)
        return p + kHtmLength - 1;
    return kNotFound;
}

// The link text runs from ks up to the byte before the next "<".
void TakeKey(LinkScan& scan, Position ks, char (&KEY)[kTextCapacity]) {
    Position ke = scan.openAfterText.From(ks) - 1;
    if (ke - ks < kMaxTakenText)
        CopySpan(KEY, scan.page, ks, ke);
    else
        KEY[0] = '\0';
}

void TakeLink(LinkScan& scan, Position s, HarvestedLinks& links) {
    Position e = UrlEnd(scan, s);
    if (e == kNotFound)
        return;
    Position g = scan.closeAfterLink.From(s);
    if (g < e || e - s >= kMaxTakenText)
        return;
    int index = links.count++;
    CopySpan(links.URL[index], scan.page, s, e);
    // No ">" lies in [s, g) and e <= g, so the first ">" at or after e is g.
    TakeKey(scan, g + 1, links.KEY[index]);
}

} // namespace

PageBuffer::PageBuffer() : bytes_(std::make_unique<char[]>(kPageCapacity + 1)) {}

void PageBuffer::Fill(std::string_view body) {
    const std::size_t ReadSize = std::min<std::size_t>(body.size(), kPageCapacity);
    std::memcpy(bytes_.get(), body.data(), ReadSize);
    bytes_[ReadSize] = '\0';
}

Position PageBuffer::FindPattern(const char* pattern, int length, int n, Position start) const {
    if (pattern == nullptr || length < 1 || n < 1 || start < 0)
        return kNotFound;
    const char* page = Bytes();
    Position end = ScanEnd(page, start);
    Position from = start;
    for (int count = 1;; ++count) {
        Position hit = FirstMatch(page, pattern, length, from, end);
        if (hit == kNotFound || count == n)
            return hit;
        from = hit + 1;
    }
}

void PageBuffer::ExtractTitle(char (&TITLE)[kTextCapacity]) const {
    TITLE[0] = '\0';
    const char* page = Bytes();
    Position end = ScanEnd(page, 0);
    for (const char* tag : kTitleTags) {
        Position a = FirstMatch(page, tag, kTitleTagLength, 0, end);
        if (a == kNotFound)
            continue;
        Position first = a + kTitleTagLength;
        Position last = FirstMatch(page, "<", 1, first, end) - 1;
        if (last - first < kMaxTakenText)
            CopySpan(TITLE, page, first, last);
        return;
    }
}

void PageBuffer::HarvestLinks(HarvestedLinks& links) const {
    links.count = 0;
    const char* page = Bytes();
    Position end = ScanEnd(page, 0);
    Position starts[kMaxLinksPerPage];
    int found = FindLinkStarts(page, end, starts);
    LinkScan scan(page, end);
    for (int k = 0; k < found; ++k)
        TakeLink(scan, starts[k] + 1, links);
}

} // namespace torvesk::engine
