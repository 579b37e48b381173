// The link table: pushes, the shuffle and duplicate removal, the pop with
// its pruning rule, and the linear congruential generator behind both.
#include "engine/link_table.h"

#include "engine/byte_string.h"

#include <cstring>

namespace {

constexpr std::uint32_t kMultiplier = 214013;
constexpr std::uint32_t kIncrement = 2531011;
constexpr int kSwapOneIn = 10;

} // namespace

int LinkTable::DrawRandom() {
    randomState_ = randomState_ * kMultiplier + kIncrement;
    return static_cast<int>((randomState_ >> 16) & 0x7fff);
}

void LinkTable::PushLink(const char* url, const char* key) {
    if (count_ >= kLinkTableLimit)
        return;
    CopyBytes(URL_[count_], url);
    CopyBytes(KEY_[count_], key);
    ++count_;
}

void LinkTable::SwapEntries(int a, int b) {
    char tmp[kTextCapacity]; // the product's own name, kept
    std::memcpy(tmp, URL_[a], kTextCapacity);
    std::memcpy(URL_[a], URL_[b], kTextCapacity);
    std::memcpy(URL_[b], tmp, kTextCapacity);
    std::memcpy(tmp, KEY_[a], kTextCapacity);
    std::memcpy(KEY_[a], KEY_[b], kTextCapacity);
    std::memcpy(KEY_[b], tmp, kTextCapacity);
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
            if (std::strcmp(URL_[i], URL_[j]) == 0) {
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
