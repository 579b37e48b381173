// The start dialog reopened from the menu: what every way of closing it
// stores into the current URL, within 255 code page 932 bytes.
#include "crawl_state.h"
#include "resources.h"
#include "shell_fixture.h"
#include "ui_driver.h"

#include <QLineEdit>

#include <cstring>
#include <functional>
#include <string>

namespace {

class StartDialogTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        window = CreateMainWindowPastDialog();
        std::strcpy(g_crawlState.currentUrl, "http://127.0.0.1:1/before");
    }

    // Opens the dialog from the menu and hands it to answer.
    void OpenAndAnswer(std::function<void(QWidget* dialog, QLineEdit* field)> answer) {
        bool answered = false;
        WhenModalShows([&](QWidget* dialog) {
            answered = true;
            answer(dialog, UrlField(dialog));
        });
        SendMessageA(window, WM_COMMAND, ID_MENU_RESET, 0);
        EXPECT_TRUE(answered);
    }

    void Retype(QLineEdit* field, const QString& text) {
        field->selectAll();
        TypeText(field, text);
    }

    HWND window = nullptr;
};

} // namespace

TEST_F(StartDialogTest, CancelEscapeCloseAndReturnAllStoreTheTypedText) {
    OpenAndAnswer([&](QWidget* dialog, QLineEdit* field) {
        Retype(field, "http://127.0.0.1:2/cancel");
        ClickButton(dialog, IDCANCEL);
    });
    EXPECT_STREQ(g_crawlState.currentUrl, "http://127.0.0.1:2/cancel");

    OpenAndAnswer([&](QWidget* dialog, QLineEdit* field) {
        Retype(field, "http://127.0.0.1:3/escape");
        PressKey(dialog, Qt::Key_Escape);
    });
    EXPECT_STREQ(g_crawlState.currentUrl, "http://127.0.0.1:3/escape");

    OpenAndAnswer([&](QWidget* dialog, QLineEdit* field) {
        Retype(field, "http://127.0.0.1:4/close");
        dialog->close();
    });
    EXPECT_STREQ(g_crawlState.currentUrl, "http://127.0.0.1:4/close");

    OpenAndAnswer([&](QWidget*, QLineEdit* field) {
        Retype(field, "http://127.0.0.1:5/return");
        PressKey(field, Qt::Key_Return);
    });
    EXPECT_STREQ(g_crawlState.currentUrl, "http://127.0.0.1:5/return");
}

TEST_F(StartDialogTest, ThreeHundredSingleByteCharactersKeepTheirFirst255) {
    std::string typed;
    for (int i = 0; i < 300; ++i)
        typed += static_cast<char>('a' + i % 26);
    OpenAndAnswer([&](QWidget* dialog, QLineEdit* field) {
        Retype(field, QString::fromStdString(typed));
        ClickButton(dialog, IDOK);
    });
    EXPECT_EQ(std::string(g_crawlState.currentUrl), typed.substr(0, 255));
}

TEST_F(StartDialogTest, TwoByteCharactersCountTwiceAndAreNeverSplit) {
    OpenAndAnswer([&](QWidget* dialog, QLineEdit* field) {
        Retype(field, QString(128, QChar(0x3042))); // "あ", 0x82 0xa0 in code page 932
        ClickButton(dialog, IDOK);
    });
    std::string expected;
    for (int i = 0; i < 127; ++i)
        expected += "\x82\xa0";
    EXPECT_EQ(std::string(g_crawlState.currentUrl), expected);
}
