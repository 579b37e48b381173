// Modal dialogs from templates: a QDialog whose controls report to the
// dialog procedure, shown application-modal while the message loop runs, and
// the calls that end it and read and write its control texts.
#include "cp932.h"
#include "dialog_layout.h"
#include "window_qt.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <algorithm>
#include <cstring>

namespace {

constexpr WORD BN_CLICKED = 0;

struct ModalState {
    bool ended = false;
    INT_PTR result = 0;
};

class Dialog final : public QDialog, public WindowBase {
public:
    Dialog(const DialogTemplate& layout, QWidget* owner, DLGPROC procedure, ModalState& state);
    ~Dialog() override { state_.ended = true; }

    LRESULT Deliver(UINT message, WPARAM wParam, LPARAM lParam) override {
        return procedure_(Handle(), message, wParam, lParam);
    }
    QWidget* Widget() override { return this; }
    void requestRepaint() override { update(); }

    void End(INT_PTR result);
    void FocusFirstControl();

    // Escape and the close button choose Cancel, as the procedure sees it.
    void reject() override { SendCommand(IDCANCEL); }

private:
    void SendCommand(int id) {
        Deliver(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), 0);
    }

    DLGPROC procedure_;
    ModalState& state_;
};

Dialog::Dialog(const DialogTemplate& layout, QWidget* owner, DLGPROC procedure, ModalState& state)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      procedure_(procedure), state_(state) {
    setWindowTitle(QString::fromUtf8(layout.caption ? layout.caption : ""));
    setFont(DialogFont(layout));
    DialogUnits units = UnitsOf(font());
    for (const ControlTemplate& control : layout.controls)
        CreateControl(*this, control, units, [this](int id) { SendCommand(id); });
    setFixedSize(units.ToPixels(0, 0, layout.width, layout.height).size());
    setWindowModality(Qt::ApplicationModal);
}

void Dialog::End(INT_PTR result) {
    state_.result = result;
    state_.ended = true;
    hide();
    PostMessageA(nullptr, WM_NULL, 0, 0); // wakes the modal loop
}

void Dialog::FocusFirstControl() {
    auto focusable = [](QWidget* child) { return child->focusPolicy() & Qt::TabFocus; };
    QList<QWidget*> children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    auto first = std::find_if(children.begin(), children.end(), focusable);
    if (first != children.end())
        (*first)->setFocus();
}

Dialog* FindDialogWindow(HWND dialog) {
    return dynamic_cast<Dialog*>(FindWindowBase(dialog));
}

QWidget* OwnerWidget(HWND owner) {
    WindowBase* window = FindWindowBase(owner);
    return window ? window->Widget() : nullptr;
}

QString ControlText(QWidget* control) {
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text();
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->text();
    return QString();
}

void SetControlText(QWidget* control, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
}

} // namespace

INT_PTR DialogBoxParamA(HINSTANCE instance, const char* templateName, HWND owner, DLGPROC procedure,
                        LPARAM param) {
    if (!procedure || !IS_INTRESOURCE(templateName))
        return -1;
    const DialogTemplate* layout = FindDialog(instance, ResourceId(templateName));
    if (!layout)
        return -1;
    ModalState state;
    QPointer<Dialog> dialog = new Dialog(*layout, OwnerWidget(owner), procedure, state);
    if (dialog->Deliver(WM_INITDIALOG, 0, param))
        dialog->FocusFirstControl();
    if (!state.ended) {
        dialog->show();
        RunModalLoop(state.ended);
    }
    delete dialog.data(); // null when its owner took it along
    return state.result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    Dialog* target = FindDialogWindow(dialog);
    if (!target)
        return FALSE;
    target->End(result);
    return TRUE;
}

BOOL SetDlgItemTextA(HWND dialog, int id, const char* text) {
    Dialog* target = FindDialogWindow(dialog);
    QWidget* control = target ? FindControl(*target, id) : nullptr;
    if (!control)
        return FALSE;
    std::string utf8 = text ? Cp932ToUtf8(text, std::strlen(text)) : std::string();
    SetControlText(control, QString::fromStdString(utf8));
    return TRUE;
}

UINT GetDlgItemTextA(HWND dialog, int id, char* buffer, int limit) {
    if (!buffer || limit <= 0)
        return 0;
    buffer[0] = '\0';
    Dialog* target = FindDialogWindow(dialog);
    QWidget* control = target ? FindControl(*target, id) : nullptr;
    if (!control)
        return 0;
    std::size_t room = static_cast<std::size_t>(limit - 1);
    std::string bytes = Utf8ToCp932(ControlText(control).toStdString(), room);
    std::size_t stored = std::min(bytes.size(), room);
    std::memcpy(buffer, bytes.data(), stored);
    buffer[stored] = '\0';
    return static_cast<UINT>(stored);
}
