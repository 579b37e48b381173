// Fuzz target for the link table: the input is a run of pushes, shuffles,
// pops and reseeds, each checked against a plain vector of (URL, KEY) pairs.
// Slots outside the live range hold a sentinel and are poisoned for ASan
// while an operation runs, so a stray read or write is caught where it happens.
#include "link_table.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using Entry = std::pair<std::string, std::string>; // URL, KEY

constexpr int kMaxOperations = 300;
constexpr std::size_t kMaxDrawnText = 2 * kTextCapacity; // longer than a slot, so cuts happen
constexpr std::size_t kStoredLength = kTextCapacity - 1;
constexpr int kMaxBulkPushes = kLinkTableLimit + 20;
constexpr int kMaxBulkDistinct = 64;

// What every slot outside the live range holds: no zero byte, so no stored
// text can look like it, and different in every slot, so a moved slot shows.
LinkTable g_sentinel;

// The live slots' bytes as the last operation left them.
LinkTable g_liveImage;

[[noreturn]] void Fail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
    std::abort();
}

void BuildSentinel() {
    for (int slot = 0; slot < kLinkSlots; ++slot)
        for (int j = 0; j < kTextCapacity; ++j) {
            g_sentinel.URL[slot][j] = static_cast<char>(0x80 | ((slot * 31 + j) & 0x7f));
            g_sentinel.KEY[slot][j] = static_cast<char>(0x80 | ((slot * 17 + j * 3 + 1) & 0x7f));
        }
}

std::size_t SlotBytes(int from, int to) {
    return static_cast<std::size_t>(to - from) * kTextCapacity;
}

void RestoreSentinel(int from, int to) {
    if (from >= to)
        return;
    std::memcpy(g_linkTable.URL[from], g_sentinel.URL[from], SlotBytes(from, to));
    std::memcpy(g_linkTable.KEY[from], g_sentinel.KEY[from], SlotBytes(from, to));
}

// Which slot from `from` on differs between the table and image, or kLinkSlots.
int FirstChangedSlot(const LinkTable& image, int from, int to) {
    if (std::memcmp(g_linkTable.URL[from], image.URL[from], SlotBytes(from, to)) == 0 &&
        std::memcmp(g_linkTable.KEY[from], image.KEY[from], SlotBytes(from, to)) == 0)
        return kLinkSlots;
    int slot = from;
    while (std::memcmp(g_linkTable.URL[slot], image.URL[slot], kTextCapacity) == 0 &&
           std::memcmp(g_linkTable.KEY[slot], image.KEY[slot], kTextCapacity) == 0)
        ++slot;
    return slot;
}

void CopyToImage(int from, int to) {
    if (from >= to)
        return;
    std::memcpy(g_liveImage.URL[from], g_linkTable.URL[from], SlotBytes(from, to));
    std::memcpy(g_liveImage.KEY[from], g_linkTable.KEY[from], SlotBytes(from, to));
}

void ExpectSentinel(int from, const char* op) {
    int slot = FirstChangedSlot(g_sentinel, from, kLinkSlots);
    if (slot != kLinkSlots)
        Fail("%s wrote slot %d, outside the live range starting at %d", op, slot, from);
}

// Slots from `from` on may be neither read nor written while poisoned.
void Guard(int from, bool poisoned) {
    for (char(*texts)[kTextCapacity] : {g_linkTable.URL, g_linkTable.KEY}) {
        if (poisoned)
            ASAN_POISON_MEMORY_REGION(texts[from], SlotBytes(from, kLinkSlots));
        else
            ASAN_UNPOISON_MEMORY_REGION(texts[from], SlotBytes(from, kLinkSlots));
    }
}

// The text a push stores: up to the first zero byte, cut to fit the slot.
std::string Stored(const std::string& drawn) {
    return drawn.substr(0, strnlen(drawn.c_str(), std::min(drawn.size(), kStoredLength)));
}

std::string SlotText(const char (&text)[kTextCapacity], int slot) {
    std::size_t length = strnlen(text, kTextCapacity);
    if (length == kTextCapacity)
        Fail("slot %d holds a text without terminator", slot);
    return std::string(text, length);
}

Entry SlotEntry(int slot) {
    return {SlotText(g_linkTable.URL[slot], slot), SlotText(g_linkTable.KEY[slot], slot)};
}

std::vector<Entry> LiveEntries() {
    std::vector<Entry> live;
    for (int slot = 0; slot < g_linkTable.count; ++slot)
        live.push_back(SlotEntry(slot));
    return live;
}

bool IsSubMultiset(std::vector<Entry> part, std::vector<Entry> whole) {
    std::sort(part.begin(), part.end());
    std::sort(whole.begin(), whole.end());
    return std::includes(whole.begin(), whole.end(), part.begin(), part.end());
}

std::set<std::string> DistinctUrls(const std::vector<Entry>& entries) {
    std::set<std::string> urls;
    for (const Entry& entry : entries)
        urls.insert(entry.first);
    return urls;
}

// Mirrors the table slot for slot; a shuffle replaces it with what the table
// holds once that has been checked against the entries before.
class TableModel {
public:
    void Push(const std::string& url, const std::string& key) {
        int before = g_linkTable.count;
        bool accepted = before < kLinkTableLimit;
        Guarded(before + (accepted ? 1 : 0), "push", [&] { PushLink(url.c_str(), key.c_str()); });
        if (g_linkTable.count != before + (accepted ? 1 : 0))
            Fail("push at count %d left count %d", before, g_linkTable.count);
        if (!accepted)
            return;
        Entry expected{Stored(url), Stored(key)};
        if (SlotEntry(before) != expected)
            Fail("push did not store its pair in slot %d", before);
        ExpectUnmoved(before, "push");
        entries_.push_back(expected);
        CopyToImage(before, before + 1);
    }

    void Shuffle() {
        std::vector<Entry> before = entries_;
        Guarded(g_linkTable.count, "shuffle", ShuffleAndDedupe);
        ExpectSentinel(static_cast<int>(before.size()), "shuffle");
        if (g_linkTable.count > static_cast<int>(before.size()))
            Fail("shuffle grew the count from %zu to %d", before.size(), g_linkTable.count);
        std::vector<Entry> after = LiveEntries();
        if (!IsSubMultiset(after, before))
            Fail("shuffle made up or duplicated an entry");
        if (DistinctUrls(after) != DistinctUrls(before))
            Fail("shuffle lost every copy of some URL");
        entries_ = after;
        CopyToImage(0, g_linkTable.count);
        RestoreSentinel(g_linkTable.count, static_cast<int>(before.size()));
    }

    void Pop() {
        int before = g_linkTable.count;
        int popped = kNoLink;
        Guarded(before, "pop", [&] { popped = PopNext(); });
        ExpectSentinel(before, "pop");
        if (before == 0) {
            if (popped != kNoLink || g_linkTable.count != 0)
                Fail("pop on an empty table gave %d, count %d", popped, g_linkTable.count);
            return;
        }
        ExpectPopBounds(before, popped);
        if (SlotEntry(popped) != entries_[popped])
            Fail("pop's slot %d does not hold the pair pushed there", popped);
        ExpectUnmoved(popped, "pop");
        entries_.resize(popped);
        RestoreSentinel(popped, before);
    }

    // Past its target a push is watched by the poisoning alone; a stray write
    // that lasts to the end of the run, into slots 200 to 299 above all, shows here.
    static void Finish() { ExpectSentinel(g_linkTable.count, "the run"); }

    const std::string& UrlAt(std::size_t index) const { return entries_[index].first; }
    std::size_t Size() const { return entries_.size(); }

private:
    // Runs op with the slots from protectedFrom on poisoned, so that ASan
    // stops any access to them, then checks that the count stayed in bounds.
    template <typename Op> static void Guarded(int protectedFrom, const char* name, Op op) {
        Guard(protectedFrom, true);
        op();
        Guard(protectedFrom, false);
        if (g_linkTable.count < 0 || g_linkTable.count > kLinkTableLimit)
            Fail("%s left count %d", name, g_linkTable.count);
    }

    void ExpectPopBounds(int before, int popped) {
        int top = before - 1;
        int lowest = top >= kPruneThreshold ? top - (kPruneSpan - 1) : top;
        if (popped != g_linkTable.count || popped < lowest || popped > top)
            Fail("pop at count %d gave %d, count %d; expected %d..%d", before, popped,
                 g_linkTable.count, lowest, top);
    }

    // Pushes and pops only move the count; the slots below it keep every byte.
    static void ExpectUnmoved(int count, const char* op) {
        int slot = FirstChangedSlot(g_liveImage, 0, count);
        if (slot != kLinkSlots)
            Fail("%s changed live slot %d", op, slot);
    }

    std::vector<Entry> entries_;
};

void StartTable() {
    static bool sentinelBuilt = false;
    if (!sentinelBuilt) {
        BuildSentinel();
        sentinelBuilt = true;
    }
    ResetLinkTable();
    RestoreSentinel(0, kLinkSlots);
    SeedRandom(1);
}

// An earlier URL again, now and then with a byte more, which the cut may hide.
std::string RepeatedUrl(FuzzedDataProvider& input, const TableModel& model,
                        const std::vector<std::string>& drawn) {
    bool fromTable = model.Size() > 0 && (drawn.empty() || input.ConsumeBool());
    std::string url =
        fromTable ? model.UrlAt(input.ConsumeIntegralInRange<std::size_t>(0, model.Size() - 1))
                  : drawn[input.ConsumeIntegralInRange<std::size_t>(0, drawn.size() - 1)];
    if (input.ConsumeBool())
        url += input.ConsumeIntegral<char>();
    return url;
}

// Enough pushes to fill the table, over a few distinct URLs.
void PushMany(FuzzedDataProvider& input, TableModel& model) {
    int pushes = input.ConsumeIntegralInRange(1, kMaxBulkPushes);
    int distinct = input.ConsumeIntegralInRange(1, kMaxBulkDistinct);
    for (int i = 0; i < pushes; ++i)
        model.Push("http://h/" + std::to_string(i % distinct) + "/", "k" + std::to_string(i));
}

void RunOperation(FuzzedDataProvider& input, TableModel& model, std::vector<std::string>& drawn) {
    switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0: {
        std::string url = input.ConsumeRandomLengthString(kMaxDrawnText);
        model.Push(url, input.ConsumeRandomLengthString(kMaxDrawnText));
        drawn.push_back(url);
        break;
    }
    case 1:
        if (model.Size() > 0 || !drawn.empty())
            model.Push(RepeatedUrl(input, model, drawn), input.ConsumeRandomLengthString(8));
        break;
    case 2:
        PushMany(input, model);
        break;
    case 3:
        model.Shuffle();
        break;
    case 4:
        model.Pop();
        break;
    default:
        SeedRandom(input.ConsumeIntegral<std::uint32_t>());
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    StartTable();
    TableModel model;
    std::vector<std::string> drawn;
    for (int i = 0; i < kMaxOperations && input.remaining_bytes() > 0; ++i)
        RunOperation(input, model, drawn);
    model.Finish();
    return 0;
}
