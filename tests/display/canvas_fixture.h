// What the Canvas tests share: the global Canvas reset to a small black
// buffer before each test, and pixel helpers.
#pragma once

#include "canvas.h"

#include <QImage>
#include <gtest/gtest.h>

class CanvasTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 80;
    static constexpr int kHeight = 48;

    // The global Canvas, because its back buffer is never freed: Init
    // reuses it, so resetting leaks nothing.
    void SetUp() override { g_canvas.Init(nullptr, kWidth, kHeight); }

    static const QImage& Buffer() { return *g_canvas.BackBuffer(); }
    static QRgb Pixel(int x, int y) { return Buffer().pixel(x, y); }
};

// Colours as the back buffer holds them (opaque 32-bit).
constexpr QRgb kBlack = 0xff000000;
constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kYellow = 0xffffff00;
constexpr QRgb kRed = 0xffff0000;
constexpr QRgb kGreen = 0xff00ff00;
constexpr QRgb kBlue = 0xff0000ff;
