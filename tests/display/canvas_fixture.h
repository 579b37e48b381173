// What the Canvas tests share: a Canvas with a small black buffer, the same
// at the device pixel ratios of common displays, and pixel helpers.
#pragma once

#include "display/canvas.h"

#include <QImage>
#include <gtest/gtest.h>

class CanvasTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 80;
    static constexpr int kHeight = 48;

    void SetUp() override { canvas.Init(kWidth, kHeight); }

    const QImage& Buffer() const { return canvas.BackBuffer(); }
    // The device pixel under the centre of logical pixel (x, y): at ratio 1
    // the pixel itself.
    QRgb Pixel(int x, int y) const {
        const double ratio = Buffer().devicePixelRatio();
        return Buffer().pixel(static_cast<int>((x + 0.5) * ratio),
                              static_cast<int>((y + 0.5) * ratio));
    }

    torvesk::display::Canvas canvas;
};

// The device pixel ratios of common displays; the fractional ones put
// logical pixel edges between device pixels.
constexpr double kDisplayRatios[] = {1.0, 1.25, 1.5, 1.75, 2.0};

// CanvasTest at each of kDisplayRatios (instantiated in canvas_test.cpp).
class CanvasAtRatio : public CanvasTest, public ::testing::WithParamInterface<double> {
protected:
    void SetUp() override { canvas.Init(kWidth, kHeight, GetParam()); }
};

// Colours as the back buffer holds them (opaque 32-bit).
constexpr QRgb kBlack = 0xff000000;
constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kYellow = 0xffffff00;
constexpr QRgb kRed = 0xffff0000;
constexpr QRgb kGreen = 0xff00ff00;
constexpr QRgb kBlue = 0xff0000ff;
