// The link table: pushes, the shuffle and duplicate removal, the pop with
// its pruning rule, and the linear congruential generator behind both.
#include "engine/link_table.h"

#include "engine/byte_string.h"

#include <cstring>
#include <utility>

namespace {

constexpr std::uint32_t kMultiplier = 214013;
constexpr std::uint32_t kIncrement = 2531011;
constexpr int kSwapOneIn = 10;

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
    return static_cast<int>((randomState_ >> 16) & 0x7fff);
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

bool LinkTable::SameURL(int a, int b) const {
    return urlHash_[slot_[a]] == urlHash_[slot_[b]] && std::strcmp(URL(a), URL(b)) == 0;
}

// Both passes read the count again at every loop test: the de-duplication
// shrinks it while it runs.
void LinkTable::ShuffleAndDedupe() {
    for (int i = 0; i < count_ - 1; ++i)
        for (int j = i + 1; j < count_; ++j)
            if (DrawRandom() % kSwapOneIn == 1)
                SwapEntries(i, j);

    for (int i = 0; i < count_ - 1; ++i)
        for (int j = i + 1; j < count_; ++j)
            if (SameURL(i, j)) {
                SwapEntries(j, count_ - 1);
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
