// The results panel's controls, its export and its notes.
#include "shell/results_panel.h"

#include "shell/results_csv.h"
#include "shell/results_filter.h"
#include "shell/results_table.h"
#include "shell/results_table_model.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>

using namespace torvesk::crawl;
using namespace torvesk::engine;

namespace torvesk::shell {

ResultsPanel::ResultsPanel(const QString& logFilePath, QWidget* parent)
    : QWidget(parent), logFilePath_(logFilePath), rows_(new ResultsTableModel(this)),
      shown_(new ResultsFilter(*rows_, this)), table_(new ResultsTable(*rows_, *shown_)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(createControls());
    column->addWidget(table_, 1);
    note_ = new QLabel;
    note_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    note_->hide();
    column->addWidget(note_);
    connect(table_, &ResultsTable::note, this, &ResultsPanel::showNote);
    refreshTimer_.setSingleShot(true);
    refreshTimer_.setInterval(kTableRefreshMs);
    connect(&refreshTimer_, &QTimer::timeout, this, &ResultsPanel::refresh);
}

QWidget* ResultsPanel::createControls() {
    auto* controls = new QWidget;
    auto* row = new QHBoxLayout(controls);
    row->setContentsMargins(0, 0, 0, 0);
    filterField_ = new QLineEdit;
    filterField_->setPlaceholderText(tr("URL か TITLE で絞り込む"));
    filterField_->setAccessibleName(tr("絞り込み"));
    filterField_->setClearButtonEnabled(true);
    connect(filterField_, &QLineEdit::textChanged, shown_, &ResultsFilter::setText);
    failuresOnly_ = new QCheckBox(tr("失敗のみ(&F)"));
    connect(failuresOnly_, &QCheckBox::toggled, shown_, &ResultsFilter::setFailuresOnly);
    auto* exportButton = new QPushButton(tr("CSV に書き出す..."));
    connect(exportButton, &QPushButton::clicked, this, &ResultsPanel::chooseExportFile);
    row->addWidget(filterField_, 1);
    row->addWidget(failuresOnly_);
    row->addWidget(exportButton);
    return controls;
}

void ResultsPanel::addPage(const PageVisited& page) {
    pagesHeld_.push_back(page);
    refreshSoon();
}

void ResultsPanel::settleRecord(const RecordSettled& record) {
    recordsHeld_.push_back(record);
    refreshSoon();
}

void ResultsPanel::refreshSoon() {
    if (!refreshTimer_.isActive())
        refreshTimer_.start();
}

void ResultsPanel::refresh() {
    rows_->addPages(pagesHeld_);
    pagesHeld_.clear();
    for (const RecordSettled& record : recordsHeld_)
        rows_->settleRecord(record);
    recordsHeld_.clear();
}

void ResultsPanel::chooseExportFile() {
    const QString path = QFileDialog::getSaveFileName(this, tr("CSV に書き出す"),
                                                      QFileInfo(logFilePath_).absolutePath(),
                                                      QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty())
        exportTo(path);
}

// Written to a temporary file that replaces path only when whole.
bool ResultsPanel::exportTo(const QString& path) {
    refresh();
    if (QFileInfo(path).absoluteFilePath() == logFilePath_) {
        showNote(tr("%1 には書き出しません: クロールの記録先です").arg(path));
        return false;
    }
    QSaveFile file(path);
    const bool written =
        file.open(QIODevice::WriteOnly) && WriteResultsCsv(*rows_, file) && file.commit();
    showNote(written ? tr("%1 行を %2 に書き出しました").arg(rows_->rowCount()).arg(path)
                     : tr("%1 に書き出せませんでした: %2").arg(path, file.errorString()));
    return written;
}

QString ResultsPanel::noteText() const {
    return note_->isHidden() ? QString() : note_->text();
}

void ResultsPanel::showNote(const QString& text) {
    note_->setText(text);
    note_->show();
}

} // namespace torvesk::shell
