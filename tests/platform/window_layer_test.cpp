// The window layer on its own: timer ticks merging while the loop is
// blocked, messages to destroyed windows, the default procedure, a quit
// inside a modal loop, and control texts in code page 932.
#include "module.h"
#include "shell/ui_driver.h"
#include "window.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

namespace {

constexpr char kClassName[] = "layer-test";
constexpr UINT kProbe = 0x0401;
constexpr UINT_PTR kTimerId = 5;
constexpr WORD kDialogId = 7;
constexpr int kEditId = 10;

constexpr ControlTemplate kControls[] = {
    {ControlKind::Edit, kEditId, "", 5, 5, 100, 14},
    {ControlKind::DefaultButton, IDOK, "OK", 5, 25, 50, 14},
};
constexpr DialogTemplate kDialogs[] = {
    {kDialogId, "test", "MS Shell Dlg", 8, 120, 45, kControls},
};
const Module kModule{{}, kDialogs};

std::vector<UINT> g_received;
std::function<void(HWND)> g_onInitDialog;

LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_received.push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
}

INT_PTR TestDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG && g_onInitDialog)
        g_onInitDialog(dialog);
    return FALSE;
}

class WindowLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_received.clear();
        g_onInitDialog = nullptr;
        WNDCLASSEXA record{};
        record.cbSize = sizeof(record);
        record.lpfnWndProc = RecordingProc;
        record.hInstance = &kModule;
        record.lpszClassName = kClassName;
        ASSERT_NE(RegisterClassExA(&record), 0);
    }
    void TearDown() override {
        CancelPendingActions();
        UnregisterClassA(kClassName, &kModule);
        DrainMessages();
    }

    HWND Create() {
        return CreateWindowExA(0, kClassName, "t", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                               &kModule, nullptr);
    }
};

// Lets the timer fire several times without taking any message.
void MissSeveralTicks() {
    for (int i = 0; i < 5; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        QCoreApplication::processEvents();
    }
}

} // namespace

TEST_F(WindowLayerTest, TicksMissedWhileTheLoopIsBusyArriveAsOne) {
    HWND window = Create();
    ASSERT_EQ(SetTimer(window, kTimerId, 10, nullptr), kTimerId);
    MissSeveralTicks();

    MSG message{};
    GetMessageA(&message, nullptr, 0, 0);
    EXPECT_EQ(message.message, WM_TIMER);
    EXPECT_EQ(message.hwnd, window);
    EXPECT_EQ(message.wParam, kTimerId);
    PostMessageA(window, kProbe, 0, 0);
    GetMessageA(&message, nullptr, 0, 0);
    EXPECT_EQ(message.message, kProbe) << "a second tick was pending";

    GetMessageA(&message, nullptr, 0, 0);
    EXPECT_EQ(message.message, WM_TIMER) << "the timer stopped";
    DestroyWindow(window);
}

TEST_F(WindowLayerTest, ADestroyedWindowReceivesNothingMore) {
    HWND window = Create();
    SetTimer(window, kTimerId, 10, nullptr);
    PostMessageA(window, kProbe, 0, 0);
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(g_received.back(), WM_DESTROY);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(PostMessageA(window, kProbe, 0, 0));
    EXPECT_FALSE(DestroyWindow(window));

    g_received.clear();
    SendMessageA(window, kProbe, 0, 0);
    MissSeveralTicks();
    PumpUntil([] { return false; }, 100);
    EXPECT_TRUE(g_received.empty()) << "got message " << g_received.front();
}

TEST_F(WindowLayerTest, TheDefaultProcedureDestroysOnClose) {
    HWND window = Create();
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(g_received, (std::vector<UINT>{WM_CREATE, WM_CLOSE, WM_DESTROY}));
}

TEST_F(WindowLayerTest, AQuitInsideADialogEndsItAndReachesTheOuterLoop) {
    WhenModalShows([](QWidget*) { PostQuitMessage(3); });
    DialogBoxParamA(&kModule, MAKEINTRESOURCEA(kDialogId), nullptr, TestDialogProc, 0);
    EXPECT_EQ(DrainMessages(), 3);
}

TEST_F(WindowLayerTest, ControlTextsAreBoundedInCodePage932Bytes) {
    struct Read {
        int limit;
        const char* expected;
    };
    // "aあい" is 61 82 a0 82 a2.
    const Read reads[] = {
        {6, "a\x82\xa0\x82\xa2"}, {5, "a\x82\xa0"}, {4, "a\x82\xa0"}, {3, "a"}, {2, "a"}, {1, ""}};
    g_onInitDialog = [&](HWND dialog) {
        EXPECT_TRUE(SetDlgItemTextA(dialog, kEditId, "a\x82\xa0\x82\xa2"));
        for (const Read& read : reads) {
            char buffer[8];
            std::memset(buffer, 'X', sizeof(buffer));
            UINT stored = GetDlgItemTextA(dialog, kEditId, buffer, read.limit);
            EXPECT_STREQ(buffer, read.expected) << "limit " << read.limit;
            EXPECT_EQ(stored, std::strlen(read.expected)) << "limit " << read.limit;
        }
        char untouched[2] = {'X', 'X'};
        EXPECT_EQ(GetDlgItemTextA(dialog, kEditId, untouched, 0), 0u);
        EXPECT_EQ(untouched[0], 'X');
        EXPECT_EQ(GetDlgItemTextA(dialog, kEditId, nullptr, 10), 0u);
        char missing[4] = "abc";
        EXPECT_EQ(GetDlgItemTextA(dialog, 999, missing, 4), 0u);
        EXPECT_STREQ(missing, "");
        EXPECT_FALSE(SetDlgItemTextA(dialog, 999, "x"));
        EndDialog(dialog, 42);
    };
    EXPECT_EQ(DialogBoxParamA(&kModule, MAKEINTRESOURCEA(kDialogId), nullptr, TestDialogProc, 0),
              42);
}
