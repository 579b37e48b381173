// What assistive technology is told: the results view as named read-only
// text holding the lines on screen, line by line, with the boxes of their
// characters; the status bar as a status bar of labels that say the state
// and the counts in words; the start dialog's field named by its label.
#include "shell/crawl_status_bar.h"
#include "shell/results_view.h"
#include "shell/start_dialog.h"
#include "support/cp932_reference.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace torvesk::engine;
using namespace torvesk::display;
using namespace torvesk::crawl;
using namespace torvesk::shell;

namespace {

// The text's lines as a screen reader walks them.
QStringList LinesOneByOne(QAccessibleTextInterface& text) {
    QStringList lines;
    for (int offset = 0, start = 0, end = 0; offset < text.characterCount(); offset = end) {
        QString line = text.textAtOffset(offset, QAccessible::LineBoundary, &start, &end);
        if (end <= offset)
            break;
        if (line.endsWith(u'\n'))
            line.chop(1);
        lines << line;
    }
    return lines;
}

// Every interface below accessible, depth first.
QList<QAccessibleInterface*> Descendants(QAccessibleInterface& accessible) {
    QList<QAccessibleInterface*> found;
    for (int i = 0; i < accessible.childCount(); ++i) {
        QAccessibleInterface* child = accessible.child(i);
        found << child << Descendants(*child);
    }
    return found;
}

QAccessibleTextInterface* TextOf(QWidget& widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&widget);
    return accessible ? accessible->textInterface() : nullptr;
}

} // namespace

TEST(ResultsViewAccessibility, IsNamedReadOnlyTextOfTheLinesOnScreenAsTheyShow) {
    ResultsView view;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), "解析結果");
    EXPECT_EQ(accessible->role(), QAccessible::EditableText);
    EXPECT_TRUE(accessible->state().readOnly && accessible->state().multiLine);
    QAccessibleTextInterface* text = accessible->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->characterCount(), 0);

    view.showLine({0, false, "0: URL:http://a/ TITLE:" + Utf8ToCp932("会社概要") + " KEY:x"});
    view.showLine({1, false, "2: URL:http://b/ TITLE:\r\n  Two\nlines\r\n KEY:ニュース"});
    view.showLine({2, false, "1: URL:http://c/ TITLE:bad \xff KEY:"});
    const QStringList expected = {"0: URL:http://a/ TITLE:会社概要 KEY:x",
                                  "2: URL:http://b/ TITLE:    Two lines   KEY:ニュース",
                                  "1: URL:http://c/ TITLE:bad \uFFFD KEY:"};
    EXPECT_EQ(LinesOneByOne(*text), expected);
    EXPECT_EQ(text->text(0, text->characterCount()), expected.join(u'\n'));

    view.showLine({0, true, "0: URL:http://d/ TITLE:after KEY:"});
    EXPECT_EQ(LinesOneByOne(*text), QStringList{"0: URL:http://d/ TITLE:after KEY:"});
}

// Character boxes tile their line's band from the margin, and the point in
// a box's middle leads back to its character; points off the text lead
// nowhere.
TEST(ResultsViewAccessibility, CharacterBoxesTileTheirLinesAndLeadBackToTheirOffsets) {
    ResultsView view;
    view.resize(kCanvasWidth, kCanvasHeight);
    view.showLine({0, false, "0: URL:http://a/ TITLE:会社 KEY:"});
    view.showLine({1, false, "1: TITLE:概要"});
    QAccessibleTextInterface* text = TextOf(view);
    ASSERT_NE(text, nullptr);
    const QString shown = text->text(0, text->characterCount());
    for (int offset = 0, left = kResultsMargin, top = kResultsMargin; offset < shown.size();
         ++offset) {
        if (shown[offset] == u'\n') {
            left = kResultsMargin;
            top += kResultsTextHeight;
            continue;
        }
        const QRect box = text->characterRect(offset);
        const QRect local(view.mapFromGlobal(box.topLeft()), box.size());
        EXPECT_EQ(local.topLeft(), QPoint(left, top)) << "offset " << offset;
        EXPECT_EQ(local.height(), kResultsTextHeight);
        EXPECT_GT(local.width(), 0);
        EXPECT_EQ(text->offsetAtPoint(box.center()), offset);
        left = local.right() + 1;
    }
    // "会" is full width: twice as wide as the half-width ":" before it.
    EXPECT_NEAR(text->characterRect(23).width(), 2 * text->characterRect(22).width(), 1);
    EXPECT_TRUE(text->characterRect(text->characterCount() + 1).isNull());
    for (QPoint outside : {QPoint(2, 12), QPoint(600, 12), QPoint(40, 300)})
        EXPECT_EQ(text->offsetAtPoint(view.mapToGlobal(outside)), -1)
            << outside.x() << "," << outside.y();
}

// A screen reader finds the status bar by its role and reads its labels'
// own words: no picture carries what the crawl is doing.
TEST(StatusBarAccessibility, IsAStatusBarOfLabelsThatSayTheStateAndTheCounts) {
    CrawlStatusBar bar("/home/user/URL.csv");
    CrawlProgress progress;
    progress.state = CrawlState::Paused;
    progress.fetching = "http://a/" + Utf8ToCp932("日本") + "/\nx/"; // one line, as on screen
    progress.pagesVisited = 12;
    progress.fetchesFailed = 3;
    progress.httpErrors = 4;
    progress.linksWaiting = 150;
    progress.pagesPerSecond = 2.5;
    progress.records = {9, 2};
    progress.lastFailure = "fetching http://b/ failed: host name not found";
    bar.showProgress(progress);
    bar.show();

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&bar);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::StatusBar);
    QStringList heard;
    for (QAccessibleInterface* child : Descendants(*accessible))
        if (child->role() == QAccessible::StaticText && !child->state().invisible &&
            !child->text(QAccessible::Name).isEmpty())
            heard << child->text(QAccessible::Name);
    EXPECT_EQ(heard.join(u'\n').toStdString(),
              "一時停止中: http://a/日本/ x/\n"
              "訪問 12 ページ ・ 失敗 3 ・ HTTP エラー 4 ・ 未訪問リンク 150 ・ 2.5 ページ/秒 ・ "
              "記録 9 件\n"
              "最後の失敗: http://b/ を取得できません: ホスト名が見つかりません\n"
              "警告: 書き込めなかった記録 2 件\n"
              "記録先: /home/user/URL.csv");
}

TEST(StartDialogAccessibility, TheFieldIsNamedByItsLabelAndButtonsByTheirTexts) {
    StartDialog dialog("http://127.0.0.1/", nullptr);
    auto* field = dialog.findChild<QLineEdit*>();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(field)->text(QAccessible::Name), "初期URL");
    QStringList buttons;
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        buttons << QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
    EXPECT_EQ(buttons, QStringList({"OK", "キャンセル"}));
}
