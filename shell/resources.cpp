// The resource tables: menu 109, the start dialog 129 and the About dialog
// 103. Resource texts are UTF-8; the quit question is the program's own text
// and so code page 932.
#include "resources.h"

#include "module.h"
#include "window.h"

namespace {

constexpr const char kDialogFont[] = "MS Shell Dlg";
constexpr int kDialogPointSize = 8;

constexpr MenuItemTemplate kMainItems[] = {
    {"再設定", ID_MENU_RESET},
    {"解析スタート", ID_MENU_START},
    {"アプリケーションの終了(&X)", ID_MENU_EXIT},
};

constexpr MenuItemTemplate kHelpItems[] = {
    {"バージョン情報 ...(&A)", ID_MENU_ABOUT},
};

constexpr PopupTemplate kMainMenuPopups[] = {
    {"メニュー", kMainItems},
    {"ヘルプ", kHelpItems},
};

constexpr MenuTemplate kMenus[] = {
    {ID_MENU_MAIN, kMainMenuPopups},
};

constexpr ControlTemplate kStartControls[] = {
    {ControlKind::DefaultButton, IDOK, "OK", 75, 82, 50, 14},
    {ControlKind::Button, IDCANCEL, "キャンセル", 169, 82, 50, 14},
    {ControlKind::Edit, ID_EDIT_URL, "", 49, 13, 235, 14},
    {ControlKind::Label, kNoControlId, "初期URL", 15, 16, 30, 8},
};

constexpr ControlTemplate kAboutControls[] = {
    {ControlKind::Icon, kNoControlId, "", 14, 14, 21, 20},
    {ControlKind::Label, kNoControlId, "Torvesk バージョン 1.0", 42, 14, 140, 8},
    {ControlKind::Label, kNoControlId, "Copyright (C) the Torvesk authors", 42, 26, 140, 8},
    {ControlKind::DefaultButton, IDOK, "OK", 133, 41, 50, 14},
};

constexpr DialogTemplate kDialogs[] = {
    {ID_DIALOG_START, "スタート", kDialogFont, kDialogPointSize, 303, 103, kStartControls},
    {ID_DIALOG_ABOUT, "バージョン情報", kDialogFont, kDialogPointSize, 190, 62, kAboutControls},
};

} // namespace

const Module g_module{kMenus, kDialogs};

const char kQuitQuestion[] = "\x8f\x49\x97\xb9\x82\xb5\x82\xc4\x82\xe0\x82\xe6"
                             "\x82\xeb\x82\xb5\x82\xa2\x82\xc5\x82\xb7\x82\xa9";
const char kQuitCaption[] = "\x8a\x6d\x94\x46";
