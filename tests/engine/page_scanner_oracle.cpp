// The reference scanner: every search restarts and walks one byte at a time,
// with the fixed bound kPageCapacity - length. Its patterns are its own
// literals, so a damaged marker constant in the fast scanner shows up as a
// difference instead of being shared.
#include "engine/page_scanner_oracle.h"

using namespace torvesk::engine;

namespace {

bool MatchesAt(const char* page, const char* pattern, int length, Position pos) {
    for (int i = 0; i < length; ++i)
        if (page[pos + i] != pattern[i])
            return false;
    return true;
}

// Bytes first..last inclusive, then the terminator.
void CopyRange(char (&dst)[kTextCapacity], const char* page, Position first, Position last) {
    int j = 0;
    for (Position i = first; i <= last && j < kTextCapacity - 1; ++i)
        dst[j++] = page[i];
    dst[j] = '\0';
}

} // namespace

Position OracleFindPattern(const char* page, const char* pattern, int length, int n,
                           Position start) {
    int count = 0;
    Position pos = start;
    while (pos < kPageCapacity - length && page[pos] != '\0') {
        if (MatchesAt(page, pattern, length, pos)) {
            ++count;
            if (count == n)
                return pos;
        }
        ++pos;
    }
    return kNotFound;
}

void OracleExtractTitle(const char* page, char (&TITLE)[kTextCapacity]) {
    const char* tags[] = {"<TITLE>", "<Title>", "<title>"};
    TITLE[0] = '\0';
    for (const char* tag : tags) {
        Position a = OracleFindPattern(page, tag, 7, 1, 0);
        if (a == kNotFound)
            continue;
        Position start = a + 7;
        Position end = OracleFindPattern(page, "<", 1, 1, start) - 1;
        if (end - start < 200)
            CopyRange(TITLE, page, start, end);
        return;
    }
}

void OracleHarvestLinks(const char* page, HarvestedLinks& links) {
    links.count = 0;
    for (int k = 1; k <= 100; ++k) {
        Position s = OracleFindPattern(page, "\"http://", 8, k, 0) + 1;
        if (s == 0) // no k-th link start, so no later one either
            break;
        Position e = s; // stands for the unset end; a candidate without one is rejected
        bool valid = false;
        Position p = OracleFindPattern(page, "/\"", 2, 1, s);
        if (p != kNotFound) {
            e = p;
            valid = true;
        } else if ((p = OracleFindPattern(page, ".html", 5, 1, s)) != kNotFound) {
            e = p + 4;
            valid = true;
        } else if ((p = OracleFindPattern(page, ".htm", 4, 1, s)) != kNotFound) {
            e = p + 3;
            valid = true;
        }
        Position g = OracleFindPattern(page, ">", 1, 1, s);
        if (g < e)
            valid = false;
        Position ks = OracleFindPattern(page, ">", 1, 1, e) + 1;
        Position ke = OracleFindPattern(page, "<", 1, 1, ks) - 1;
        if (valid && e - s < 200) {
            int i = links.count++;
            CopyRange(links.URL[i], page, s, e);
            if (ks == 0 || ke - ks >= 200)
                links.KEY[i][0] = '\0';
            else
                CopyRange(links.KEY[i], page, ks, ke);
        }
    }
}
