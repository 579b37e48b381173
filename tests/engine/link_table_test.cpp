// The link table: the generator's sequence, the push limit, the shuffle and
// duplicate removal, and the pop with its pruning rule.
#include "link_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

class LinkTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetLinkTable();
        SeedRandom(1);
    }

    static void PushNumbered(int n) {
        for (int i = 0; i < n; ++i) {
            char url[32];
            std::snprintf(url, sizeof url, "http://h/%d/", i);
            PushLink(url, "k");
        }
    }

    // Seeds the generator so that the next draws swap nothing in the shuffle.
    static void SeedWithoutSwapsFor(int draws) {
        for (std::uint32_t seed = 1;; ++seed) {
            SeedRandom(seed);
            bool anySwap = false;
            for (int i = 0; i < draws; ++i)
                anySwap |= DrawRandom() % 10 == 1;
            if (!anySwap) {
                SeedRandom(seed);
                return;
            }
        }
    }
};

TEST_F(LinkTableTest, GeneratorFollowsTheLinearCongruentialSequence) {
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int value : expected)
        EXPECT_EQ(DrawRandom(), value);
    SeedRandom(1);
    EXPECT_EQ(DrawRandom(), 41) << "reseeding restarts the sequence";
}

TEST_F(LinkTableTest, PushStopsAtTwoHundredAndCopiesVerbatim) {
    PushLink("http://a/%s%n/", "キー%d");
    EXPECT_STREQ(g_linkTable.URL[0], "http://a/%s%n/");
    EXPECT_STREQ(g_linkTable.KEY[0], "キー%d");
    PushNumbered(kLinkTableLimit + 5);
    EXPECT_EQ(g_linkTable.count, kLinkTableLimit);
    EXPECT_EQ(g_linkTable.URL[kLinkTableLimit][0], '\0') << "slot 200 is never written";
}

TEST_F(LinkTableTest, PushCutsOverlongTextsAtTheSlotSize) {
    std::string huge(1000, 'x');
    PushLink(huge.c_str(), huge.c_str());
    EXPECT_EQ(std::string(g_linkTable.URL[0]).size(), std::size_t(kTextCapacity - 1));
    EXPECT_EQ(std::string(g_linkTable.KEY[0]).size(), std::size_t(kTextCapacity - 1));
}

TEST_F(LinkTableTest, DedupeKeepsTheLowerIndexAndItsKey) {
    PushLink("http://same/", "first");
    PushLink("http://same/", "second");
    SeedWithoutSwapsFor(1);
    ShuffleAndDedupe();
    ASSERT_EQ(g_linkTable.count, 1);
    EXPECT_STREQ(g_linkTable.KEY[0], "first");
}

TEST_F(LinkTableTest, EntryMovedIntoTheComparedSlotIsNotComparedAgain) {
    for (const char* url : {"http://a/", "http://a/", "http://b/", "http://a/"})
        PushLink(url, "k");
    SeedWithoutSwapsFor(6); // one draw per pair of four entries
    ShuffleAndDedupe();
    // The last a moves into slot 1 and survives this call...
    ASSERT_EQ(g_linkTable.count, 3);
    EXPECT_STREQ(g_linkTable.URL[0], "http://a/");
    EXPECT_STREQ(g_linkTable.URL[1], "http://a/");
    EXPECT_STREQ(g_linkTable.URL[2], "http://b/");
    // ...and goes with the next.
    ShuffleAndDedupe();
    EXPECT_EQ(g_linkTable.count, 2);
}

TEST_F(LinkTableTest, ThreeEqualUrlsLeaveTwoAfterOneCallAndOneAfterTheNext) {
    for (int i = 0; i < 3; ++i)
        PushLink("http://a/", "k");
    ShuffleAndDedupe(); // swaps between equal entries change nothing visible
    EXPECT_EQ(g_linkTable.count, 2);
    ShuffleAndDedupe();
    EXPECT_EQ(g_linkTable.count, 1);
}

TEST_F(LinkTableTest, PopOnEmptyTableGivesNothing) {
    EXPECT_EQ(PopNext(), kNoLink);
    EXPECT_EQ(g_linkTable.count, 0);
}

TEST_F(LinkTableTest, PopLeavesThePoppedEntryReadableUntilTheNextPush) {
    PushLink("http://a/", "A");
    PushLink("http://b/", "B");
    int i = PopNext();
    ASSERT_EQ(i, 1);
    EXPECT_STREQ(g_linkTable.URL[i], "http://b/");
    PushLink("http://c/", "C");
    EXPECT_STREQ(g_linkTable.URL[i], "http://c/");
}

TEST_F(LinkTableTest, PopBelowThresholdTakesTheTopWithoutDrawing) {
    PushNumbered(kPruneThreshold);
    EXPECT_EQ(PopNext(), kPruneThreshold - 1);
    EXPECT_EQ(DrawRandom(), 41) << "no draw was consumed";
}

TEST_F(LinkTableTest, PopOfAFullTablePrunesByTheNextDraw) {
    for (std::uint32_t seed : {1u, 2u, 77u, 12345u}) {
        ResetLinkTable();
        PushNumbered(kLinkTableLimit);
        SeedRandom(seed);
        int r = DrawRandom();
        SeedRandom(seed);
        int i = PopNext();
        EXPECT_EQ(i, kLinkTableLimit - 1 - r % kPruneSpan) << "seed " << seed;
        EXPECT_GE(i, 20);
        EXPECT_LE(i, 199);
        EXPECT_EQ(g_linkTable.count, i);
    }
}

} // namespace
