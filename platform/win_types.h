// The handful of scalar types, handles and records of the classic desktop
// API that the program's code is written against. No host headers: engine/
// and shell/ include this without pulling in Qt or libcurl.
#pragma once

#include <cstdint>

using BOOL = int;
using BYTE = unsigned char;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using INT_PTR = std::intptr_t;
using DWORD_PTR = std::uintptr_t;
using ATOM = WORD;
using COLORREF = DWORD;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

struct PlatformWindow; // defined by the window layer (platform/window_base.h)
struct DeviceContext;  // a painter that is valid between BeginPaint and EndPaint
struct Module;         // the program image: its resource tables (platform/module.h)

using HWND = PlatformWindow*;
using HDC = DeviceContext*;
using HINSTANCE = const Module*;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct POINT {
    LONG x;
    LONG y;
};

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
};

constexpr WORD LOWORD(WPARAM value) {
    return static_cast<WORD>(value & 0xffff);
}
constexpr WORD HIWORD(WPARAM value) {
    return static_cast<WORD>((value >> 16) & 0xffff);
}
constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xff) | ((g & 0xff) << 8) | ((b & 0xff) << 16));
}
