// The link table: pushes, the shuffle and duplicate removal, the pop with
// its pruning rule, and the linear congruential generator behind both.
#include "engine/link_table.h"

#include "engine/byte_string.h"

#include <array>
#include <cstring>
#include <utility>

namespace torvesk::engine {

namespace {

constexpr std::uint32_t kMultiplier = 214013;
constexpr std::uint32_t kIncrement = 2531011;
constexpr int kSwapOneIn = 10;

// The generator's step taken n times over is state * multiplier + increment
// too; with the first kLanes of them the shuffle computes kLanes draws side
// by side instead of waiting for each multiplication in turn.
constexpr int kLanes = 8;
struct Jump {
    std::uint32_t multiplier;
    std::uint32_t increment;
};
using Jumps = std::array<Jump, kLanes>;
constexpr Jumps JumpsAhead() {
    Jumps jumps{};
    Jump step{1, 0};
    for (Jump& jump : jumps) {
        step = {step.multiplier * kMultiplier, step.increment * kMultiplier + kIncrement};
        jump = step;
    }
    return jumps;
}
constexpr Jumps kJumps = JumpsAhead();

constexpr int DrawOf(std::uint32_t state) {
    return static_cast<int>((state >> 16) & 0x7fff);
}

// FNV-1a.
std::uint32_t HashOf(const char* text) {
    std::uint32_t hash = 2166136261u;
    for (; *text != '\0'; ++text)
        hash = (hash ^ static_cast<unsigned char>(*text)) * 16777619u;
    return hash;
}

} // namespace

int LinkTable::DrawRandom() {
    randomState_ = randomState_ * kMultiplier + kIncrement;
    return DrawOf(randomState_);
}

void LinkTable::PushLink(const char* url, const char* key) {
    if (count_ >= kLinkTableLimit)
        return;
    const int slot = slot_[count_];
    CopyBytes(URL_[slot], url);
    CopyBytes(KEY_[slot], key);
    urlHash_[slot] = HashOf(URL_[slot]);
    ++count_;
}

void LinkTable::SwapEntries(int a, int b) {
    std::swap(slot_[a], slot_[b]);
}

// Without a branch: which way it goes is a coin that lands one in ten.
void LinkTable::SwapEntriesIf(bool swap, int a, int b) {
    const int first = slot_[a];
    const int second = slot_[b];
    slot_[a] = swap ? second : first;
    slot_[b] = swap ? first : second;
}

void LinkTable::ShuffleAndDedupe() {
    Shuffle();
    Dedupe();
}

// One draw for each pair (i, j), i < j, in order; one in ten swaps.
void LinkTable::Shuffle() {
    for (int i = 0; i < count_ - 1; ++i) {
        int j = i + 1;
        for (; j + kLanes <= count_; j += kLanes) {
            bool swaps[kLanes];
            for (int lane = 0; lane < kLanes; ++lane)
                swaps[lane] =
                    DrawOf(randomState_ * kJumps[lane].multiplier + kJumps[lane].increment) %
                        kSwapOneIn ==
                    1;
            randomState_ =
                randomState_ * kJumps[kLanes - 1].multiplier + kJumps[kLanes - 1].increment;
            for (int lane = 0; lane < kLanes; ++lane)
                SwapEntriesIf(swaps[lane], i, j + lane);
        }
        for (; j < count_; ++j)
            SwapEntriesIf(DrawRandom() % kSwapOneIn == 1, i, j);
    }
}

// The count is read again at every loop test: the search shrinks it while
// it runs, and an entry moved into the slot just compared is not compared
// again. The hashes, in entry order, move with their entries.
void LinkTable::Dedupe() {
    std::uint32_t hashes[kLinkTableLimit];
    for (int k = 0; k < count_; ++k)
        hashes[k] = urlHash_[slot_[k]];
    for (int i = 0; i < count_ - 1; ++i)
        for (int j = i + 1; j < count_; ++j)
            if (hashes[j] == hashes[i] && std::strcmp(URL(i), URL(j)) == 0) {
                SwapEntries(j, count_ - 1);
                std::swap(hashes[j], hashes[count_ - 1]);
                --count_;
            }
}

int LinkTable::PopNext() {
    if (count_ == 0)
        return kNoLink;
    --count_;
    if (count_ >= kPruneThreshold)
        count_ -= DrawRandom() % kPruneSpan;
    return count_;
}

} // namespace torvesk::engine
