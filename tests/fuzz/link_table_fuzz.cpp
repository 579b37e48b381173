// Fuzz target for the link table: the input is a short run of pushes, pops,
// shuffles and reseeds on a fresh table. Every slot an operation may not
// touch stays poisoned for ASan while it runs (all of them during a pop), so
// a stray read or write is caught where it happens. The checks after each
// operation are cheap: the count, the pair a push stored, the slot a pop
// gave, and for a shuffle that every row it left is a row it was given and
// that no URL lost every copy.
#include "engine/link_table.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace torvesk::engine;

namespace {

// A table reaches any state in a few operations (one bulk push fills it), so
// runs stay short. A shuffle of a full table costs about a millisecond under
// the sanitizers, and its loops take no path that a table of 64 entries does
// not take: shuffles run on tables up to that size, a few per run. Full
// tables are shuffled by the unit tests and on every tick of the crawl tests.
constexpr int kMaxOperations = 24;
constexpr int kMaxShuffles = 3;
constexpr int kMaxShuffledCount = 64;
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

// Whether a slot holds what a push of text stores: its bytes up to the
// first zero byte, cut to fit, and the terminator.
bool HoldsStored(const char* slot, std::string_view text) {
    const std::size_t length = strnlen(text.data(), std::min(text.size(), kStoredLength));
    return std::memcmp(slot, text.data(), length) == 0 && slot[length] == '\0';
}

std::string_view SlotText(const char* text, int slot) {
    const std::size_t length = strnlen(text, kTextCapacity);
    if (length == kTextCapacity)
        Fail("slot %d holds a text without terminator", slot);
    return {text, length};
}

// Entry by entry: an entry's texts lie wherever its slot is, not next to
// the entry before it.
void SetPoisoned(const LinkTable& table, int from, int to, bool poisoned) {
    for (int entry = from; entry < to; ++entry)
        for (const char* text : {table.URL(entry), table.KEY(entry)}) {
            if (poisoned)
                ASAN_POISON_MEMORY_REGION(text, kTextCapacity);
            else
                ASAN_UNPOISON_MEMORY_REGION(text, kTextCapacity);
        }
}

// Slots [from, to) readable and writable while the scope lasts.
class OpenSlots {
public:
    OpenSlots(const LinkTable& table, int from, int to) : table_(table), from_(from), to_(to) {
        SetPoisoned(table_, from_, to_, false);
    }
    ~OpenSlots() { SetPoisoned(table_, from_, to_, true); }
    OpenSlots(const OpenSlots&) = delete;
    OpenSlots& operator=(const OpenSlots&) = delete;

private:
    const LinkTable& table_;
    int from_;
    int to_;
};

// The live slots as numbers, sorted: every byte of each slot's two rows, and
// each distinct URL. Equal numbers for different bytes would take a 64-bit
// hash collision.
struct RowDigest {
    std::vector<std::uint64_t> rows;
    std::vector<std::uint64_t> urls;
};

RowDigest DigestOf(const LinkTable& table) {
    const std::hash<std::string_view> hash;
    RowDigest digest;
    for (int slot = 0; slot < table.count(); ++slot) {
        digest.rows.push_back(hash({table.URL(slot), kTextCapacity}) * 0x9E3779B97F4A7C15u +
                              hash({table.KEY(slot), kTextCapacity}));
        digest.urls.push_back(hash(SlotText(table.URL(slot), slot)));
    }
    std::sort(digest.rows.begin(), digest.rows.end());
    std::sort(digest.urls.begin(), digest.urls.end());
    digest.urls.erase(std::unique(digest.urls.begin(), digest.urls.end()), digest.urls.end());
    return digest;
}

// The texts of bulk pushes, made once: "http://h/<n>/" and "k<n>".
struct BulkTexts {
    std::vector<std::string> urls;
    std::vector<std::string> keys;
};

const BulkTexts& Bulk() {
    static const BulkTexts texts = [] {
        BulkTexts made;
        for (int n = 0; n < kMaxBulkDistinct; ++n)
            made.urls.push_back("http://h/" + std::to_string(n) + "/");
        for (int n = 0; n < kMaxBulkPushes; ++n)
            made.keys.push_back("k" + std::to_string(n));
        return made;
    }();
    return texts;
}

// A fresh table, poisoned whole between operations, and what each operation
// must have done to it.
class CheckedTable {
public:
    explicit CheckedTable(LinkTable& table) : table_(&table) {
        SetPoisoned(*table_, 0, kLinkSlots, true);
    }
    // The next input's fresh table is written here.
    ~CheckedTable() { SetPoisoned(*table_, 0, kLinkSlots, false); }
    CheckedTable(const CheckedTable&) = delete;
    CheckedTable& operator=(const CheckedTable&) = delete;

    // url and key view zero-terminated texts, as the table reads them.
    void Push(std::string_view url, std::string_view key) {
        const int before = table_->count();
        const int after = std::min(before + 1, kLinkTableLimit);
        OpenSlots open(*table_, before, after);
        table_->PushLink(url.data(), key.data());
        if (table_->count() != after)
            Fail("push at count %d left count %d", before, table_->count());
        if (after > before &&
            !(HoldsStored(table_->URL(before), url) && HoldsStored(table_->KEY(before), key)))
            Fail("push did not store its pair in slot %d", before);
    }

    void Shuffle() {
        const int live = table_->count();
        OpenSlots open(*table_, 0, live);
        const RowDigest before = DigestOf(*table_);
        table_->ShuffleAndDedupe();
        if (table_->count() > live || (live > 0 && table_->count() < 1))
            Fail("shuffle changed the count from %d to %d", live, table_->count());
        const RowDigest after = DigestOf(*table_);
        if (!std::includes(before.rows.begin(), before.rows.end(), after.rows.begin(),
                           after.rows.end()))
            Fail("shuffle made up or duplicated an entry");
        if (after.urls != before.urls)
            Fail("shuffle lost every copy of some URL");
    }

    // A pop only moves the count: every slot stays poisoned.
    void Pop() {
        const int before = table_->count();
        const int popped = table_->PopNext();
        const int top = before - 1;
        const int lowest = top >= kPruneThreshold ? top - (kPruneSpan - 1) : top;
        if (before == 0 ? popped != kNoLink || table_->count() != 0
                        : popped != table_->count() || popped < lowest || popped > top)
            Fail("pop at count %d gave %d, count %d", before, popped, table_->count());
    }

    void Seed(std::uint32_t seed) { table_->SeedRandom(seed); }

    int Count() const { return table_->count(); }
    std::string UrlAt(int slot) const {
        OpenSlots open(*table_, slot, slot + 1);
        return std::string(SlotText(table_->URL(slot), slot));
    }

private:
    LinkTable* table_;
};

// One input's operations, with what it has drawn so far.
class Run {
public:
    Run(FuzzedDataProvider& input, CheckedTable& table) : input_(input), table_(table) {}

    void Operation() {
        switch (input_.ConsumeIntegralInRange(0, 5)) {
        case 0:
            PushDrawn();
            break;
        case 1:
            if (table_.Count() > 0 || !drawn_.empty())
                table_.Push(RepeatedUrl(), input_.ConsumeRandomLengthString(8));
            break;
        case 2:
            PushMany();
            break;
        case 3:
            ShuffleIfCheap();
            break;
        case 4:
            table_.Pop();
            break;
        default:
            table_.Seed(input_.ConsumeIntegral<std::uint32_t>());
            break;
        }
    }

private:
    void PushDrawn() {
        std::string url = input_.ConsumeRandomLengthString(kMaxDrawnText);
        table_.Push(url, input_.ConsumeRandomLengthString(kMaxDrawnText));
        drawn_.push_back(std::move(url));
    }

    void ShuffleIfCheap() {
        if (shuffles_ < kMaxShuffles && table_.Count() <= kMaxShuffledCount) {
            ++shuffles_;
            table_.Shuffle();
        }
    }

    // An earlier URL again, now and then with a byte more, which the cut may hide.
    std::string RepeatedUrl() {
        const bool fromTable = table_.Count() > 0 && (drawn_.empty() || input_.ConsumeBool());
        std::string url =
            fromTable ? table_.UrlAt(input_.ConsumeIntegralInRange(0, table_.Count() - 1))
                      : drawn_[input_.ConsumeIntegralInRange<std::size_t>(0, drawn_.size() - 1)];
        if (input_.ConsumeBool())
            url += input_.ConsumeIntegral<char>();
        return url;
    }

    // Enough pushes to fill the table, over a few distinct URLs.
    void PushMany() {
        const int pushes = input_.ConsumeIntegralInRange(1, kMaxBulkPushes);
        const int distinct = input_.ConsumeIntegralInRange(1, kMaxBulkDistinct);
        const BulkTexts& texts = Bulk();
        for (int i = 0; i < pushes; ++i)
            table_.Push(texts.urls[i % distinct], texts.keys[i]);
    }

    FuzzedDataProvider& input_;
    CheckedTable& table_;
    std::vector<std::string> drawn_;
    int shuffles_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Static storage, so that an input costs no 180 KB allocation.
    static std::optional<LinkTable> table;
    table.emplace();
    FuzzedDataProvider input(data, size);
    CheckedTable checked(*table);
    Run run(input, checked);
    for (int i = 0; i < kMaxOperations && input.remaining_bytes() > 0; ++i)
        run.Operation();
    return 0;
}
