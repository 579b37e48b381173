// main() for test programs on Qt Core alone (the crawl, the crawl without a
// window): an event loop for timers and sockets, no display, then every test.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
