// The link table: the generator's sequence, the push limit, the shuffle and
// duplicate removal, and the pop with its pruning rule.
#include "engine/link_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace torvesk::engine;

namespace {

void PushNumbered(LinkTable& table, int n) {
    for (int i = 0; i < n; ++i) {
        char url[32];
        std::snprintf(url, sizeof url, "http://h/%d/", i);
        table.PushLink(url, "k");
    }
}

// A fresh table starts empty and seeded with 1.
class LinkTableTest : public ::testing::Test {
protected:
    // Seeds the generator so that the next draws swap nothing in the shuffle.
    void SeedWithoutSwapsFor(int draws) {
        for (std::uint32_t seed = 1;; ++seed) {
            table_.SeedRandom(seed);
            bool anySwap = false;
            for (int i = 0; i < draws; ++i)
                anySwap |= table_.DrawRandom() % 10 == 1;
            if (!anySwap) {
                table_.SeedRandom(seed);
                return;
            }
        }
    }

    LinkTable table_;
};

TEST_F(LinkTableTest, GeneratorFollowsTheLinearCongruentialSequence) {
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int value : expected)
        EXPECT_EQ(table_.DrawRandom(), value);
    table_.SeedRandom(1);
    EXPECT_EQ(table_.DrawRandom(), 41) << "reseeding restarts the sequence";
}

TEST_F(LinkTableTest, PushStopsAtTwoHundredAndCopiesVerbatim) {
    table_.PushLink("http://a/%s%n/", "キー%d");
    EXPECT_STREQ(table_.URL(0), "http://a/%s%n/");
    EXPECT_STREQ(table_.KEY(0), "キー%d");
    PushNumbered(table_, kLinkTableLimit + 5);
    EXPECT_EQ(table_.count(), kLinkTableLimit);
    EXPECT_EQ(table_.URL(kLinkTableLimit)[0], '\0') << "slot 200 is never written";
}

TEST_F(LinkTableTest, PushCutsOverlongTextsAtTheSlotSize) {
    std::string huge(1000, 'x');
    table_.PushLink(huge.c_str(), huge.c_str());
    EXPECT_EQ(std::string(table_.URL(0)).size(), std::size_t(kTextCapacity - 1));
    EXPECT_EQ(std::string(table_.KEY(0)).size(), std::size_t(kTextCapacity - 1));
}

TEST_F(LinkTableTest, DedupeKeepsTheLowerIndexAndItsKey) {
    table_.PushLink("http://same/", "first");
    table_.PushLink("http://same/", "second");
    SeedWithoutSwapsFor(1);
    table_.ShuffleAndDedupe();
    ASSERT_EQ(table_.count(), 1);
    EXPECT_STREQ(table_.KEY(0), "first");
}

TEST_F(LinkTableTest, EntryMovedIntoTheComparedSlotIsNotComparedAgain) {
    for (const char* url : {"http://a/", "http://a/", "http://b/", "http://a/"})
        table_.PushLink(url, "k");
    SeedWithoutSwapsFor(6); // one draw per pair of four entries
    table_.ShuffleAndDedupe();
    // The last a moves into slot 1 and survives this call...
    ASSERT_EQ(table_.count(), 3);
    EXPECT_STREQ(table_.URL(0), "http://a/");
    EXPECT_STREQ(table_.URL(1), "http://a/");
    EXPECT_STREQ(table_.URL(2), "http://b/");
    // ...and goes with the next.
    table_.ShuffleAndDedupe();
    EXPECT_EQ(table_.count(), 2);
}

TEST_F(LinkTableTest, ThreeEqualUrlsLeaveTwoAfterOneCallAndOneAfterTheNext) {
    for (int i = 0; i < 3; ++i)
        table_.PushLink("http://a/", "k");
    table_.ShuffleAndDedupe(); // swaps between equal entries change nothing visible
    EXPECT_EQ(table_.count(), 2);
    table_.ShuffleAndDedupe();
    EXPECT_EQ(table_.count(), 1);
}

TEST_F(LinkTableTest, PopOnEmptyTableGivesNothing) {
    EXPECT_EQ(table_.PopNext(), kNoLink);
    EXPECT_EQ(table_.count(), 0);
}

TEST_F(LinkTableTest, PopLeavesThePoppedEntryReadableUntilTheNextPush) {
    table_.PushLink("http://a/", "A");
    table_.PushLink("http://b/", "B");
    int i = table_.PopNext();
    ASSERT_EQ(i, 1);
    EXPECT_STREQ(table_.URL(i), "http://b/");
    table_.PushLink("http://c/", "C");
    EXPECT_STREQ(table_.URL(i), "http://c/");
}

// The pop prunes when the count it leaves is 190 or more, not when it was.
TEST_F(LinkTableTest, PruningStartsWithThePopThatLeaves190) {
    PushNumbered(table_, 190);
    EXPECT_EQ(table_.PopNext(), 189);
    EXPECT_EQ(table_.count(), 189);
    EXPECT_EQ(table_.DrawRandom(), 41) << "no draw was consumed";

    auto table = std::make_unique<LinkTable>();
    PushNumbered(*table, 191);
    // The seed-1 sequence runs 41, 18467: the pop uses the 41.
    EXPECT_EQ(table->PopNext(), 190 - 41 % 180);
    EXPECT_EQ(table->count(), 149);
    EXPECT_EQ(table->DrawRandom(), 18467) << "exactly one draw was consumed";
}

TEST_F(LinkTableTest, PopOfAFullTablePrunesByTheNextDraw) {
    for (std::uint32_t seed : {1u, 2u, 77u, 12345u}) {
        auto table = std::make_unique<LinkTable>();
        PushNumbered(*table, kLinkTableLimit);
        table->SeedRandom(seed);
        int r = table->DrawRandom();
        table->SeedRandom(seed);
        int i = table->PopNext();
        EXPECT_EQ(i, kLinkTableLimit - 1 - r % kPruneSpan) << "seed " << seed;
        EXPECT_GE(i, 20);
        EXPECT_LE(i, 199);
        EXPECT_EQ(table->count(), i);
    }
}

// The table's rules over plain strings that move as they are swapped.
class TableModel {
public:
    explicit TableModel(std::uint32_t seed) : state_(seed) {}

    void Push(const std::string& url, const std::string& key) {
        if (entries_.size() < kLinkTableLimit)
            entries_.emplace_back(url, key);
    }
    void ShuffleAndDedupe() {
        for (std::size_t i = 0; i + 1 < entries_.size(); ++i)
            for (std::size_t j = i + 1; j < entries_.size(); ++j)
                if (Draw() % 10 == 1)
                    std::swap(entries_[i], entries_[j]);
        for (std::size_t i = 0; i + 1 < entries_.size(); ++i)
            for (std::size_t j = i + 1; j < entries_.size(); ++j)
                if (entries_[i].first == entries_[j].first) {
                    std::swap(entries_[j], entries_.back());
                    entries_.pop_back();
                }
    }
    // The entry that the pruning leaves last goes, with those above it.
    std::pair<std::string, std::string> Pop() {
        std::size_t last = entries_.size() - 1;
        if (last >= kPruneThreshold)
            last -= Draw() % kPruneSpan;
        std::pair<std::string, std::string> popped = entries_[last];
        entries_.resize(last);
        return popped;
    }
    bool empty() const { return entries_.empty(); }

private:
    int Draw() {
        state_ = state_ * 214013 + 2531011;
        return static_cast<int>((state_ >> 16) & 0x7fff);
    }

    std::vector<std::pair<std::string, std::string>> entries_;
    std::uint32_t state_;
};

// Many pages' worth of pushes of few distinct URLs (so many duplicates),
// shuffles and pops through a full table: every popped entry, its URL and
// its KEY, is the model's.
TEST(LinkTableModelTest, PopsWhatTheRulesPopOverAFullTableWithDuplicates) {
    for (std::uint32_t seed : {1u, 99u, 4000000000u}) {
        auto table = std::make_unique<LinkTable>();
        table->SeedRandom(seed);
        TableModel model(seed);
        std::uint32_t pages = seed;
        for (int step = 0; step < 300; ++step) {
            for (int link = 0; link < 40; ++link) {
                pages = pages * 1103515245u + 12345u;
                const std::string url = "http://h/" + std::to_string(pages >> 24) + "/";
                const std::string key = "key " + std::to_string(step) + "." + std::to_string(link);
                table->PushLink(url.c_str(), key.c_str());
                model.Push(url, key);
            }
            table->ShuffleAndDedupe();
            model.ShuffleAndDedupe();
            ASSERT_FALSE(model.empty());
            const int popped = table->PopNext();
            const auto expected = model.Pop();
            ASSERT_NE(popped, kNoLink);
            ASSERT_EQ(table->URL(popped), expected.first) << "seed " << seed << ", step " << step;
            ASSERT_EQ(table->KEY(popped), expected.second) << "seed " << seed << ", step " << step;
        }
    }
}

} // namespace
