// The link table: pushes, the shuffle and duplicate removal, the pop with
// its pruning rule, and the linear congruential generator behind both.
#include "link_table.h"

#include "byte_string.h"

#include <cstring>

LinkTable g_linkTable;

namespace {

std::uint32_t g_randomState = 1;

constexpr std::uint32_t kMultiplier = 214013;
constexpr std::uint32_t kIncrement = 2531011;
constexpr int kSwapOneIn = 10;

} // namespace

void SeedRandom(std::uint32_t seed) {
    g_randomState = seed;
}

int DrawRandom() {
    g_randomState = g_randomState * kMultiplier + kIncrement;
    return static_cast<int>((g_randomState >> 16) & 0x7fff);
}

void PushLink(const char* url, const char* key) {
    LinkTable& table = g_linkTable;
    if (table.count >= kLinkTableLimit)
        return;
    CopyBytes(table.URL[table.count], url);
    CopyBytes(table.KEY[table.count], key);
    ++table.count;
}

void SwapEntries(int a, int b) {
    char tmp[kTextCapacity];
    LinkTable& table = g_linkTable;
    std::memcpy(tmp, table.URL[a], kTextCapacity);
    std::memcpy(table.URL[a], table.URL[b], kTextCapacity);
    std::memcpy(table.URL[b], tmp, kTextCapacity);
    std::memcpy(tmp, table.KEY[a], kTextCapacity);
    std::memcpy(table.KEY[a], table.KEY[b], kTextCapacity);
    std::memcpy(table.KEY[b], tmp, kTextCapacity);
}

// Both passes read the count again at every loop test: the de-duplication
// shrinks it while it runs.
void ShuffleAndDedupe() {
    LinkTable& table = g_linkTable;
    for (int i = 0; i < table.count - 1; ++i)
        for (int j = i + 1; j < table.count; ++j)
            if (DrawRandom() % kSwapOneIn == 1)
                SwapEntries(i, j);

    for (int i = 0; i < table.count - 1; ++i)
        for (int j = i + 1; j < table.count; ++j)
            if (std::strcmp(table.URL[i], table.URL[j]) == 0) {
                SwapEntries(j, table.count - 1);
                --table.count;
            }
}

int PopNext() {
    LinkTable& table = g_linkTable;
    if (table.count == 0)
        return kNoLink;
    --table.count;
    if (table.count >= kPruneThreshold)
        table.count -= DrawRandom() % kPruneSpan;
    return table.count;
}

void ResetLinkTable() {
    std::memset(&g_linkTable, 0, sizeof g_linkTable);
}
