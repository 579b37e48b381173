// Resource lookup in a module's tables.
#include "module.h"

const MenuTemplate* FindMenu(HINSTANCE instance, WORD id) {
    if (!instance)
        return nullptr;
    for (const MenuTemplate& menu : instance->menus)
        if (menu.id == id)
            return &menu;
    return nullptr;
}

const DialogTemplate* FindDialog(HINSTANCE instance, WORD id) {
    if (!instance)
        return nullptr;
    for (const DialogTemplate& dialog : instance->dialogs)
        if (dialog.id == id)
            return &dialog;
    return nullptr;
}
