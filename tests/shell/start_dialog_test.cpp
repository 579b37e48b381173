// The start dialog reopened from the menu: its layout and what every way of
// closing it stores into the current URL, within 255 code page 932 bytes.
#include "shell/shell_fixture.h"
#include "shell/ui_driver.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <string>

using namespace torvesk::engine;
using namespace torvesk::crawl;
using namespace torvesk::shell;

namespace {

// Types text key by key, each character as the text of its key press, as an
// input method delivers it: QTest::keyClicks types only Latin-1.
void Type(QWidget* field, const QString& text) {
    for (QChar character : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
}

class StartDialogTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        frame = &CreateMainWindowPastDialog();
        CrawlOf(*frame).setStartUrl("http://127.0.0.1:1/before");
    }

    // Opens the dialog from the menu and hands it to answer.
    void OpenAndAnswer(std::function<void(QWidget* dialog, QLineEdit* field)> answer) {
        bool answered = false;
        WhenModalShows([&](QWidget* dialog) {
            answered = true;
            answer(dialog, UrlField(dialog));
        });
        ChooseMenuEntry(frame, "再設定");
        EXPECT_TRUE(answered);
    }

    void Retype(QLineEdit* field, const QString& text) {
        field->selectAll();
        QTest::keyClicks(field, text);
    }

    std::string Stored() { return CrawlOf(*frame).currentUrl(); }

    MainWindow* frame = nullptr;
};

} // namespace

TEST_F(StartDialogTest, LayoutHasTheCaptionTheTextsAndTheTabOrder) {
    OpenAndAnswer([&](QWidget* dialog, QLineEdit* field) {
        EXPECT_EQ(dialog->windowTitle(), "スタート");
        EXPECT_EQ(field->text(), "http://127.0.0.1:1/before");
        const auto buttons = dialog->findChildren<QPushButton*>();
        ASSERT_EQ(buttons.size(), 2);
        EXPECT_EQ(buttons[0]->text(), "OK");
        EXPECT_TRUE(buttons[0]->isDefault());
        EXPECT_EQ(buttons[1]->text(), "キャンセル");
        EXPECT_EQ(dialog->findChild<QLabel*>()->text(), "初期URL");
        EXPECT_EQ(buttons[0]->nextInFocusChain(), buttons[1]);
        EXPECT_EQ(buttons[1]->nextInFocusChain(), field);
        // The field sits right of the label and above the buttons, with no
        // more than a field's height between them and below the buttons.
        EXPECT_LT(dialog->findChild<QLabel*>()->geometry().right(), field->geometry().left());
        EXPECT_LT(field->geometry().bottom(), buttons[0]->geometry().top());
        EXPECT_LE(buttons[0]->geometry().top() - field->geometry().bottom(), field->height());
        EXPECT_LE(dialog->height() - buttons[0]->geometry().bottom(), field->height());
        EXPECT_GT(dialog->width(), 4 * dialog->height());
        ClickButton(dialog, "OK");
    });
}

TEST_F(StartDialogTest, CancelEscapeCloseAndReturnAllStoreTheTypedText) {
    OpenAndAnswer([&](QWidget* dialog, QLineEdit* field) {
        Retype(field, "http://127.0.0.1:2/cancel");
        ClickButton(dialog, "キャンセル");
    });
    EXPECT_EQ(Stored(), "http://127.0.0.1:2/cancel");

    OpenAndAnswer([&](QWidget* dialog, QLineEdit* field) {
        Retype(field, "http://127.0.0.1:3/escape");
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(Stored(), "http://127.0.0.1:3/escape");

    OpenAndAnswer([&](QWidget* dialog, QLineEdit* field) {
        Retype(field, "http://127.0.0.1:4/close");
        dialog->close();
    });
    EXPECT_EQ(Stored(), "http://127.0.0.1:4/close");

    OpenAndAnswer([&](QWidget*, QLineEdit* field) {
        Retype(field, "http://127.0.0.1:5/return");
        QTest::keyClick(field, Qt::Key_Return);
    });
    EXPECT_EQ(Stored(), "http://127.0.0.1:5/return");
}

TEST_F(StartDialogTest, ThreeHundredSingleByteCharactersKeepTheirFirst255) {
    std::string typed;
    for (int i = 0; i < 300; ++i)
        typed += static_cast<char>('a' + i % 26);
    OpenAndAnswer([&](QWidget* dialog, QLineEdit* field) {
        Retype(field, QString::fromStdString(typed));
        ClickButton(dialog, "OK");
    });
    EXPECT_EQ(Stored(), typed.substr(0, 255));
}

TEST_F(StartDialogTest, TwoByteCharactersCountTwiceAndAreNeverSplit) {
    OpenAndAnswer([&](QWidget* dialog, QLineEdit* field) {
        field->selectAll();
        Type(field, QString(128, QChar(0x3042))); // "あ", 0x82 0xa0 in code page 932
        ClickButton(dialog, "OK");
    });
    std::string expected;
    for (int i = 0; i < 127; ++i)
        expected += "\x82\xa0";
    EXPECT_EQ(Stored(), expected);
}

// A URL holding bytes no encoding shows (harvested raw from a page) comes
// back byte for byte however the dialog is closed.
TEST_F(StartDialogTest, ClosingWithoutEditingKeepsEveryByte) {
    const std::string url = "http://127.0.0.1:1/\xff\xfe/\xe6\x97\xa5\xe6\x9c\xac/\x83\x58 %zz";
    const std::function<void(QWidget*, QLineEdit*)> closes[] = {
        [](QWidget* dialog, QLineEdit*) { ClickButton(dialog, "OK"); },
        [](QWidget* dialog, QLineEdit*) { ClickButton(dialog, "キャンセル"); },
        [](QWidget* dialog, QLineEdit*) { QTest::keyClick(dialog, Qt::Key_Escape); },
    };
    for (const auto& close : closes) {
        CrawlOf(*frame).setStartUrl(url);
        OpenAndAnswer(close);
        EXPECT_EQ(Stored(), url);
    }
}

TEST_F(StartDialogTest, EditingOnePartKeepsTheBytesOfTheRest) {
    CrawlOf(*frame).setStartUrl("http://127.0.0.1:1/\xff/\xe6\x97\xa5.html");
    OpenAndAnswer([&](QWidget* dialog, QLineEdit* field) {
        EXPECT_EQ(field->text(), QString::fromUtf8("http://127.0.0.1:1/\xef\xbf\xbd/日.html"));
        field->end(false);
        QTest::keyClicks(field, "?q=");
        Type(field, "あ");
        ClickButton(dialog, "OK");
    });
    EXPECT_EQ(Stored(), "http://127.0.0.1:1/\xff/\xe6\x97\xa5.html?q=\x82\xa0");
}
