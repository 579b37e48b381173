// ErrorLines built alone: lines reported from other threads are shown on the
// owner's thread, each whole and in the order they came; a reporter that
// outlives its owner (a record writer left behind) still says its line, on
// standard error.
#include "cli/error_lines.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace torvesk::engine;
using namespace torvesk::cli;

namespace {

constexpr int kWaitMs = 10000;

TEST(ErrorLinesTest, LinesFromTwoThreadsAreShownOnTheOwnersThreadInOrder) {
    constexpr int kLinesEach = 200;
    std::vector<std::string> shown;
    bool elsewhere = false;
    const std::thread::id owner = std::this_thread::get_id();
    ErrorLines lines([&](const std::string& line) {
        elsewhere = elsewhere || std::this_thread::get_id() != owner;
        shown.push_back(line);
    });
    const ErrorReporter report = lines.reporter();
    std::vector<std::thread> threads;
    for (const std::string name : {"fetch", "log"})
        threads.emplace_back([report, name] {
            for (int i = 0; i < kLinesEach; ++i)
                report(name + " " + std::to_string(i));
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_TRUE(shown.empty()) << "shown before the owner's event loop ran";
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() == 2 * kLinesEach; }, kWaitMs));
    EXPECT_FALSE(elsewhere);
    for (const std::string name : {"fetch", "log"}) {
        int next = 0;
        for (const std::string& line : shown) {
            if (line.starts_with(name + " ")) {
                EXPECT_EQ(line, name + " " + std::to_string(next++));
            }
        }
        EXPECT_EQ(next, kLinesEach);
    }
}

// Lines still waiting when the owner goes, and lines reported after.
TEST(ErrorLinesTest, LinesOutlivingTheOwnerGoToStandardError) {
    ErrorReporter report;
    testing::internal::CaptureStderr();
    {
        ErrorLines lines([](const std::string&) { ADD_FAILURE() << "shown after the end"; });
        report = lines.reporter();
        report("waiting");
    }
    std::thread([report] { report("left behind"); }).join();
    QCoreApplication::processEvents();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "torvesk: waiting\ntorvesk: left behind\n");
}

} // namespace
