// The message box: a QMessageBox shown application-modal while the message
// loop keeps running, so timer ticks go on reaching their windows.
#include "cp932.h"
#include "window_qt.h"

#include <QMessageBox>
#include <QPointer>

#include <cstring>

namespace {

constexpr UINT kButtonsMask = 0x0f;
constexpr UINT kIconMask = 0xf0;

QString Decode(const char* text) {
    return text ? QString::fromStdString(Cp932ToUtf8(text, std::strlen(text))) : QString();
}

QMessageBox::StandardButtons ButtonsOf(UINT type) {
    switch (type & kButtonsMask) {
    case MB_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconOf(UINT type) {
    switch (type & kIconMask) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int ResultOf(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Ok:
        return IDOK;
    default:
        return IDCANCEL; // closed without a button
    }
}

} // namespace

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
    WindowBase* ownerWindow = FindWindowBase(owner);
    QPointer<QMessageBox> box =
        new QMessageBox(IconOf(type), Decode(caption), Decode(text), ButtonsOf(type),
                        ownerWindow ? ownerWindow->Widget() : nullptr);
    box->setWindowModality(Qt::ApplicationModal);
    bool finished = false;
    auto finish = [&finished] {
        finished = true;
        PostMessageA(nullptr, WM_NULL, 0, 0); // wakes the loop below
    };
    QObject::connect(box, &QMessageBox::finished, finish);
    QObject::connect(box, &QObject::destroyed, finish); // its owner went first
    box->show();
    bool answered = RunModalLoop(finished) && box;
    int result = answered ? ResultOf(box->standardButton(box->clickedButton())) : 0;
    delete box.data();
    return result;
}
