// The start dialog's layout (in dialog units) and its text in bytes.
#include "shell/start_dialog.h"

#include "display/text_codec.h"
#include "engine/crawler.h"
#include "shell/dialog_units.h"
#include "shell/edited_text.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace torvesk::display;
using namespace torvesk::engine;

namespace torvesk::shell {

StartDialog::StartDialog(std::string url, QWidget* parent)
    : QDialog(parent), shownUrl_(std::move(url)) {
    // The buttons sit a small gap below the field, not at the foot of a
    // tall, mostly empty dialog.
    const DialogUnits units = SetUpDialog(*this, tr("スタート"), 303, 54);
    // Created in tab order: OK, Cancel, the field.
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setGeometry(units.ToPixels(75, 33, 50, 14));
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("キャンセル"), this);
    cancel->setGeometry(units.ToPixels(169, 33, 50, 14));
    urlField_ = new QLineEdit(DecodeForScreen(shownUrl_), this);
    urlField_->setGeometry(units.ToPixels(49, 13, 235, 14));
    auto* label = new QLabel(tr("初期URL"), this);
    label->setGeometry(units.ToPixels(15, 16, 30, 8));
    label->setBuddy(urlField_); // which also names the field for a screen reader
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // The dialog selects its focus field's text as it shows, so typing
    // replaces the address at once; Enter still presses OK.
    urlField_->setFocus();
}

std::string StartDialog::UrlBytes() const {
    return EncodeEditedText(shownUrl_, urlField_->text(), kUrlCapacity - 1);
}

} // namespace torvesk::shell
