// The page buffer and its scanner: pattern search, title and link harvest.
// Results equal a byte-by-byte scan; the work is done with memchr/memmem
// over the page's nonzero bytes, and HarvestLinks remembers its last answer
// per marker so a big page is walked a few times, not once per link.
#include "page_scanner.h"

#include <cstring>

char g_pageBuffer[kPageCapacity + 1];

// The three URL end markers share bytes: ".htm" is the front of ".html".
char tmp[10] = "/\".html";
char tmp2[kTextCapacity] = "\"http://";

namespace {

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
Position ScanEnd(Position start) {
    if (start >= kScanLimit)
        return start;
    return start + static_cast<Position>(strnlen(g_pageBuffer + start, kScanLimit - start));
}

// First occurrence of pattern inside [from, end), or kNotFound.
Position FirstMatch(const char* pattern, int length, Position from, Position end) {
    if (from >= end)
        return kNotFound;
    const char* haystack = g_pageBuffer + from;
    const void* hit = length == 1 ? std::memchr(haystack, pattern[0], end - from)
                                  : memmem(haystack, end - from, pattern, length);
    if (hit == nullptr)
        return kNotFound;
    return static_cast<Position>(static_cast<const char*>(hit) - g_pageBuffer);
}

// Answers "first occurrence at or after start" for a run of mostly rising
// starts, reusing the previous answer when the new start cannot change it.
class FirstMatchCursor {
public:
    FirstMatchCursor(const char* pattern, int length, Position end)
        : pattern_(pattern), length_(length), end_(end) {}

    Position From(Position start) {
        bool answerStillHolds =
            searched_ && start >= lastStart_ && (lastAnswer_ == kNotFound || lastAnswer_ >= start);
        if (answerStillHolds)
            return lastAnswer_;
        searched_ = true;
        lastStart_ = start;
        lastAnswer_ = FirstMatch(pattern_, length_, start, end_);
        return lastAnswer_;
    }

private:
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
    explicit LinkScan(Position end)
        : slashQuote(kSlashQuote, kSlashQuoteLength, end), html(kHtml, kHtmlLength, end),
          htm(kHtm, kHtmLength, end), closeAfterLink(">", 1, end), openAfterText("<", 1, end) {}

    FirstMatchCursor slashQuote;
    FirstMatchCursor html;
    FirstMatchCursor htm;
    FirstMatchCursor closeAfterLink;
    FirstMatchCursor openAfterText;
};

// Copies page bytes first..last inclusive (none when last < first).
void CopySpan(char (&dst)[kTextCapacity], Position first, Position last) {
    Position count = last < first ? 0 : last - first + 1;
    if (count > kTextCapacity - 1)
        count = kTextCapacity - 1;
    std::memcpy(dst, g_pageBuffer + first, count);
    dst[count] = '\0';
}

// Fills starts with the positions of the first occurrences of tmp2.
int FindLinkStarts(Position end, Position (&starts)[kMaxLinksPerPage]) {
    int found = 0;
    Position from = 0;
    while (found < kMaxLinksPerPage) {
        Position hit = FirstMatch(tmp2, kLinkStartLength, from, end);
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
        CopySpan(KEY, ks, ke);
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
    CopySpan(links.URL[index], s, e);
    // No ">" lies in [s, g) and e <= g, so the first ">" at or after e is g.
    TakeKey(scan, g + 1, links.KEY[index]);
}

} // namespace

Position FindPattern(const char* pattern, int length, int n, Position start) {
    if (pattern == nullptr || length < 1 || n < 1 || start < 0)
        return kNotFound;
    Position end = ScanEnd(start);
    Position from = start;
    for (int count = 1;; ++count) {
        Position hit = FirstMatch(pattern, length, from, end);
        if (hit == kNotFound || count == n)
            return hit;
        from = hit + 1;
    }
}

void ExtractTitle(char (&TITLE)[kTextCapacity]) {
    TITLE[0] = '\0';
    Position end = ScanEnd(0);
    for (const char* tag : kTitleTags) {
        Position a = FirstMatch(tag, kTitleTagLength, 0, end);
        if (a == kNotFound)
            continue;
        Position first = a + kTitleTagLength;
        Position last = FirstMatch("<", 1, first, end) - 1;
        if (last - first < kMaxTakenText)
            CopySpan(TITLE, first, last);
        return;
    }
}

void HarvestLinks(HarvestedLinks& links) {
    links.count = 0;
    Position end = ScanEnd(0);
    Position starts[kMaxLinksPerPage];
    int found = FindLinkStarts(end, starts);
    LinkScan scan(end);
    for (int k = 0; k < found; ++k)
        TakeLink(scan, starts[k] + 1, links);
}

void ClearPageBuffer() {
    std::memset(g_pageBuffer, 0, sizeof g_pageBuffer);
}
