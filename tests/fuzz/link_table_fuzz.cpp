// Fuzz target for the link table: the input is a run of pushes, shuffles,
// pops and reseeds, each checked against a plain vector of (URL, KEY) pairs.
// Slots outside the live range are poisoned for ASan while an operation runs,
// so a stray read or write is caught where it happens. Live slots that an
// operation may not write are compared with a byte image of the table after
// it, and the whole table once more at the end of the run.
#include "engine/link_table.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
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

[[noreturn]] void Fail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
    std::abort();
}

std::size_t SlotBytes(int from, int to) {
    return static_cast<std::size_t>(to - from) * kTextCapacity;
}

// The text a push stores: up to the first zero byte, cut to fit the slot.
std::string Stored(const std::string& drawn) {
    return drawn.substr(0, strnlen(drawn.c_str(), std::min(drawn.size(), kStoredLength)));
}

std::string SlotText(const char* text, int slot) {
    std::size_t length = strnlen(text, kTextCapacity);
    if (length == kTextCapacity)
        Fail("slot %d holds a text without terminator", slot);
    return std::string(text, length);
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

// Every slot's bytes as the checked operations so far have left them.
struct SlotImage {
    char URL[kLinkSlots][kTextCapacity];
    char KEY[kLinkSlots][kTextCapacity];
};

// A fresh table, mirrored entry for entry and byte for byte; a shuffle
// replaces the entries with what the table holds once that has been checked
// against the entries before.
class TableModel {
public:
    TableModel(LinkTable& table, SlotImage& image) : table_(&table), image_(&image) {
        TakeImage(0, kLinkSlots);
    }

    void Push(const std::string& url, const std::string& key) {
        int before = table_->count();
        int after = before < kLinkTableLimit ? before + 1 : before;
        Guarded(after, "push", [&] { table_->PushLink(url.c_str(), key.c_str()); });
        if (table_->count() != after)
            Fail("push at count %d left count %d", before, table_->count());
        ExpectUnchanged(0, before, "push");
        if (after == before)
            return;
        Entry expected{Stored(url), Stored(key)};
        if (SlotEntry(before) != expected)
            Fail("push did not store its pair in slot %d", before);
        entries_.push_back(expected);
        TakeImage(before, after);
    }

    void Shuffle() {
        std::vector<Entry> before = entries_;
        int live = table_->count();
        Guarded(live, "shuffle", [&] { table_->ShuffleAndDedupe(); });
        if (table_->count() > live)
            Fail("shuffle grew the count from %d to %d", live, table_->count());
        std::vector<Entry> after = LiveEntries();
        if (!IsSubMultiset(after, before))
            Fail("shuffle made up or duplicated an entry");
        if (DistinctUrls(after) != DistinctUrls(before))
            Fail("shuffle lost every copy of some URL");
        entries_ = after;
        TakeImage(0, live);
    }

    // A pop only moves the count; every slot keeps every byte.
    void Pop() {
        int before = table_->count();
        int popped = kNoLink;
        Guarded(before, "pop", [&] { popped = table_->PopNext(); });
        ExpectUnchanged(0, before, "pop");
        if (before == 0) {
            if (popped != kNoLink || table_->count() != 0)
                Fail("pop on an empty table gave %d, count %d", popped, table_->count());
            return;
        }
        ExpectPopBounds(before, popped);
        if (SlotEntry(popped) != entries_[popped])
            Fail("pop's slot %d does not hold the pair pushed there", popped);
        entries_.resize(popped);
    }

    void Seed(std::uint32_t seed) { table_->SeedRandom(seed); }

    // Past their ranges the operations are watched by the poisoning alone; a
    // stray write that lasts to the end of the run, into slots 200 to 299
    // above all, shows here.
    void Finish() const { ExpectUnchanged(0, kLinkSlots, "the run"); }

    const std::string& UrlAt(std::size_t index) const { return entries_[index].first; }
    std::size_t Size() const { return entries_.size(); }

private:
    // Runs op with the slots from protectedFrom on poisoned, so that ASan
    // stops any access to them, then checks that the count stayed in bounds.
    template <typename Op> void Guarded(int protectedFrom, const char* name, Op op) {
        Guard(protectedFrom, true);
        op();
        Guard(protectedFrom, false);
        if (table_->count() < 0 || table_->count() > kLinkTableLimit)
            Fail("%s left count %d", name, table_->count());
    }

    void Guard(int from, bool poisoned) const {
        for (const char* texts : {table_->URL(from), table_->KEY(from)}) {
            if (poisoned)
                ASAN_POISON_MEMORY_REGION(texts, SlotBytes(from, kLinkSlots));
            else
                ASAN_UNPOISON_MEMORY_REGION(texts, SlotBytes(from, kLinkSlots));
        }
    }

    bool SlotMatchesImage(int slot) const {
        return std::memcmp(table_->URL(slot), image_->URL[slot], kTextCapacity) == 0 &&
               std::memcmp(table_->KEY(slot), image_->KEY[slot], kTextCapacity) == 0;
    }

    // The slots are rows of two arrays, so a range is compared in one go
    // first and slot by slot only to name the culprit.
    void ExpectUnchanged(int from, int to, const char* op) const {
        if (from >= to ||
            (std::memcmp(table_->URL(from), image_->URL[from], SlotBytes(from, to)) == 0 &&
             std::memcmp(table_->KEY(from), image_->KEY[from], SlotBytes(from, to)) == 0))
            return;
        int slot = from;
        while (SlotMatchesImage(slot))
            ++slot;
        Fail("%s changed slot %d, which it may not write (count %d)", op, slot, table_->count());
    }

    void TakeImage(int from, int to) {
        for (int slot = from; slot < to; ++slot) {
            std::memcpy(image_->URL[slot], table_->URL(slot), kTextCapacity);
            std::memcpy(image_->KEY[slot], table_->KEY(slot), kTextCapacity);
        }
    }

    Entry SlotEntry(int slot) const {
        return {SlotText(table_->URL(slot), slot), SlotText(table_->KEY(slot), slot)};
    }

    std::vector<Entry> LiveEntries() const {
        std::vector<Entry> live;
        for (int slot = 0; slot < table_->count(); ++slot)
            live.push_back(SlotEntry(slot));
        return live;
    }

    void ExpectPopBounds(int before, int popped) const {
        int top = before - 1;
        int lowest = top >= kPruneThreshold ? top - (kPruneSpan - 1) : top;
        if (popped != table_->count() || popped < lowest || popped > top)
            Fail("pop at count %d gave %d, count %d; expected %d..%d", before, popped,
                 table_->count(), lowest, top);
    }

    LinkTable* table_;
    SlotImage* image_;
    std::vector<Entry> entries_;
};

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
        model.Seed(input.ConsumeIntegral<std::uint32_t>());
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Static storage, so that an input costs no 180 KB allocations.
    static std::optional<LinkTable> table;
    static SlotImage image;
    table.emplace();
    FuzzedDataProvider input(data, size);
    TableModel model(*table, image);
    std::vector<std::string> drawn;
    for (int i = 0; i < kMaxOperations && input.remaining_bytes() > 0; ++i)
        RunOperation(input, model, drawn);
    model.Finish();
    return 0;
}
