// Resource lookup in a module's tables.
#include "module.h"

namespace {

template <typename Template>
const Template* FindById(HINSTANCE instance, std::span<const Template> Module::*table, WORD id) {
    if (!instance)
        return nullptr;
    for (const Template& entry : instance->*table)
        if (entry.id == id)
            return &entry;
    return nullptr;
}

} // namespace

const MenuTemplate* FindMenu(HINSTANCE instance, WORD id) {
    return FindById(instance, &Module::menus, id);
}

const DialogTemplate* FindDialog(HINSTANCE instance, WORD id) {
    return FindById(instance, &Module::dialogs, id);
}
