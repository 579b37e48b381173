// Window classes and the shared system resources a class record names: the
// default application icon, the arrow cursor and the stock brushes.
#include "window_qt.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>

#include <string>
#include <vector>

struct SystemImage {
    WORD id;
};

struct StockBrush {
    COLORREF color;
};

namespace {

constexpr WORD kApplicationIconId = 32512;
constexpr WORD kArrowCursorId = 32512;
constexpr UINT kClassRecordSize = sizeof(WNDCLASSEXA);

const SystemImage kApplicationIcon{kApplicationIconId};
const SystemImage kArrowCursor{kArrowCursorId};
const StockBrush kWhiteBrush{RGB(255, 255, 255)};
const StockBrush kBlackBrush{RGB(0, 0, 0)};

struct RegisteredClass {
    std::string name;
    WNDCLASSEXA record;
};

std::vector<RegisteredClass> g_classes;

bool NamesSystemImage(const char* name, WORD id) {
    return IS_INTRESOURCE(name) && ResourceId(name) == id;
}

} // namespace

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) {
    if (!windowClass || windowClass->cbSize != kClassRecordSize || !windowClass->lpfnWndProc ||
        !windowClass->lpszClassName || FindWindowClass(windowClass->lpszClassName))
        return 0;
    g_classes.push_back(RegisteredClass{windowClass->lpszClassName, *windowClass});
    return static_cast<ATOM>(0xc000 + g_classes.size());
}

BOOL UnregisterClassA(const char* className, HINSTANCE) {
    if (!FindWindowClass(className))
        return FALSE;
    std::erase_if(g_classes, [className](const RegisteredClass& registered) {
        return registered.name == className;
    });
    return TRUE;
}

const WNDCLASSEXA* FindWindowClass(const char* name) {
    if (!name || IS_INTRESOURCE(name))
        return nullptr;
    for (const RegisteredClass& registered : g_classes)
        if (registered.name == name)
            return &registered.record;
    return nullptr;
}

std::optional<COLORREF> BrushColor(HBRUSH brush) {
    if (!brush)
        return std::nullopt;
    return brush->color;
}

HICON LoadIconA(HINSTANCE instance, const char* name) {
    return !instance && NamesSystemImage(name, kApplicationIconId) ? &kApplicationIcon : nullptr;
}

HCURSOR LoadCursorA(HINSTANCE instance, const char* name) {
    return !instance && NamesSystemImage(name, kArrowCursorId) ? &kArrowCursor : nullptr;
}

HGDIOBJ GetStockObject(int object) {
    switch (object) {
    case WHITE_BRUSH:
        return &kWhiteBrush;
    case BLACK_BRUSH:
        return &kBlackBrush;
    default:
        return nullptr;
    }
}

QIcon ApplicationIcon() {
    return QApplication::style()->standardIcon(QStyle::SP_DesktopIcon);
}
