// The reference scanner: every search restarts and walks one byte at a time,
// with the fixed bound kPageCapacity - length. Its patterns are its own
// literals, so a damaged tmp or tmp2 in the fast scanner shows up as a
// difference instead of being shared.
#include "engine/page_scanner_oracle.h"

namespace {

bool MatchesAt(const char* pattern, int length, Position pos) {
    for (int i = 0; i < length; ++i)
        if (g_pageBuffer[pos + i] != pattern[i])
            return false;
    return true;
}

// Bytes first..last inclusive, then the terminator.
void CopyRange(char (&dst)[kTextCapacity], Position first, Position last) {
    int j = 0;
    for (Position i = first; i <= last && j < kTextCapacity - 1; ++i)
        dst[j++] = g_pageBuffer[i];
    dst[j] = '\0';
}

} // namespace

Position OracleFindPattern(const char* pattern, int length, int n, Position start) {
    int count = 0;
    Position pos = start;
    while (pos < kPageCapacity - length && g_pageBuffer[pos] != '\0') {
        if (MatchesAt(pattern, length, pos)) {
            ++count;
            if (count == n)
                return pos;
        }
        ++pos;
    }
    return kNotFound;
}

void OracleExtractTitle(char (&TITLE)[kTextCapacity]) {
    const char* tags[] = {"<TITLE>", "<Title>", "<title>"};
    TITLE[0] = '\0';
    for (const char* tag : tags) {
        Position a = OracleFindPattern(tag, 7, 1, 0);
        if (a == kNotFound)
            continue;
        Position start = a + 7;
        Position end = OracleFindPattern("<", 1, 1, start) - 1;
        if (end - start < 200)
            CopyRange(TITLE, start, end);
        return;
    }
}

void OracleHarvestLinks(HarvestedLinks& links) {
    links.count = 0;
    for (int k = 1; k <= 100; ++k) {
        Position s = OracleFindPattern("\"http://", 8, k, 0) + 1;
        Position e = s; // stands for the unset end; a candidate without one is rejected
        bool valid = false;
        Position p = OracleFindPattern("/\"", 2, 1, s);
        if (p != kNotFound) {
            e = p;
            valid = true;
        } else if ((p = OracleFindPattern(".html", 5, 1, s)) != kNotFound) {
            e = p + 4;
            valid = true;
        } else if ((p = OracleFindPattern(".htm", 4, 1, s)) != kNotFound) {
            e = p + 3;
            valid = true;
        }
        Position g = OracleFindPattern(">", 1, 1, s);
        if (g < e)
            valid = false;
        Position ks = OracleFindPattern(">", 1, 1, e) + 1;
        Position ke = OracleFindPattern("<", 1, 1, ks) - 1;
        if (s != 0 && valid && e - s < 200) {
            int i = links.count++;
            CopyRange(links.URL[i], s, e);
            if (ks == 0 || ke - ks >= 200)
                links.KEY[i][0] = '\0';
            else
                CopyRange(links.KEY[i], ks, ke);
        }
    }
}
