// The table of links waiting to be visited, its shuffle and duplicate
// removal, the pop-and-prune rule, and the one pseudo-random sequence that
// feeds them.
#pragma once

#include "engine/page_scanner.h"

#include <array>
#include <cstdint>

namespace torvesk::engine {

constexpr int kLinkSlots = 300;      // slots allocated
constexpr int kLinkTableLimit = 200; // pushes refused from this count on
constexpr int kPruneThreshold = 190; // a pop at or above this count prunes
constexpr int kPruneSpan = 180;      // up to kPruneSpan - 1 entries thrown away
constexpr int kNoLink = -1;          // PopNext on an empty table

class LinkTable {
public:
    // state = state * 214013 + 2531011 (mod 2^32); draws return bits 16..30.
    void SeedRandom(std::uint32_t seed) { randomState_ = seed; }
    int DrawRandom();

    // PushLink, ShuffleAndDedupe, PopNext: the engine's own names, kept.
    void PushLink(const char* url, const char* key);
    void SwapEntries(int a, int b);
    void ShuffleAndDedupe();
    // Index of the entry to visit next (readable until the next push), or kNoLink.
    int PopNext();
    // Drops every entry; the generator keeps its state.
    void Clear() { count_ = 0; }

    int count() const { return count_; }
    // URL and KEY: the product's own names, kept.
    const char* URL(int index) const { return URL_[slot_[index]]; }
    const char* KEY(int index) const { return KEY_[slot_[index]]; }

private:
    using Slots = std::array<int, kLinkSlots>;
    void Shuffle();
    void Dedupe();
    void SwapEntriesIf(bool swap, int a, int b);
    static constexpr Slots InOrder() {
        Slots inOrder{};
        for (int i = 0; i < kLinkSlots; ++i)
            inOrder[i] = i;
        return inOrder;
    }

    // Entry i is stored in slot slot_[i]: a swap exchanges two slot numbers
    // rather than their bytes. Each slot's URL has its hash beside it, so
    // that the duplicate search compares the bytes of equal hashes only.
    char URL_[kLinkSlots][kTextCapacity] = {};
    char KEY_[kLinkSlots][kTextCapacity] = {};
    std::uint32_t urlHash_[kLinkSlots] = {};
    Slots slot_ = InOrder();
    int count_ = 0;
    std::uint32_t randomState_ = 1;
};

} // namespace torvesk::engine
