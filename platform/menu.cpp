// Menu bars built from menu templates. A chosen entry posts WM_COMMAND, as
// menus do, so the command runs from the message loop.
#include "window_qt.h"

#include <QMenu>
#include <QMenuBar>

void BuildMenuBar(QMenuBar& bar, const MenuTemplate& menu, HWND window) {
    bar.setNativeMenuBar(false); // inside the window on every desktop
    for (const PopupTemplate& popup : menu.popups) {
        QMenu* entries = bar.addMenu(QString::fromUtf8(popup.text));
        for (const MenuItemTemplate& item : popup.items) {
            QAction* action = entries->addAction(QString::fromUtf8(item.text));
            WPARAM command = MAKEWPARAM(item.id, 0);
            QObject::connect(action, &QAction::triggered,
                             [window, command] { PostMessageA(window, WM_COMMAND, command, 0); });
        }
    }
}
