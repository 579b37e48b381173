// The program image as the window layer sees it: its resource tables of
// menus and dialog templates, looked up by id through the instance handle.
// Resource texts are UTF-8; "&" marks a keyboard mnemonic.
#pragma once

#include "win_types.h"

#include <span>

struct MenuItemTemplate {
    const char* text;
    WORD id; // the WM_COMMAND id the entry posts
};

struct PopupTemplate {
    const char* text;
    std::span<const MenuItemTemplate> items;
};

struct MenuTemplate {
    WORD id;
    std::span<const PopupTemplate> popups;
};

enum class ControlKind {
    DefaultButton, // the button Return presses
    Button,
    Edit,  // single line, scrolls horizontally
    Label, // left-aligned static text
    Icon,  // the application icon
};

constexpr int kNoControlId = -1;

// Positions and sizes are dialog units of the dialog's font.
struct ControlTemplate {
    ControlKind kind;
    int id;
    const char* text;
    short x, y, width, height;
};

struct DialogTemplate {
    WORD id;
    const char* caption;
    const char* fontFace; // falls back to the desktop's UI font when missing
    int pointSize;
    short width, height;
    std::span<const ControlTemplate> controls;
};

struct Module {
    std::span<const MenuTemplate> menus;
    std::span<const DialogTemplate> dialogs;
};

// Lookups by id; null when the module holds no such resource.
const MenuTemplate* FindMenu(HINSTANCE instance, WORD id);
const DialogTemplate* FindDialog(HINSTANCE instance, WORD id);
