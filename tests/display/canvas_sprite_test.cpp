// Canvas::DrawSprite: (buffer OR mask) AND image, scaled, from bitmap files.
#include "display/canvas_fixture.h"

#include <QTemporaryDir>

using namespace torvesk::display;

namespace {

constexpr QRgb kBackground = 0xff123456;

// Writes a 2 x 2 bitmap file with the given pixels, row by row.
std::string WriteBitmap(const QTemporaryDir& dir, const char* name, const QRgb (&pixels)[4]) {
    QImage image(2, 2, QImage::Format_RGB32);
    for (int i = 0; i < 4; ++i)
        image.setPixel(i % 2, i / 2, pixels[i]);
    const QString path = dir.filePath(name);
    EXPECT_TRUE(image.save(path, "BMP"));
    return path.toStdString();
}

class SpriteTest : public CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        canvas.SetPen(1, 0x12, 0x34, 0x56);
        canvas.SetBrush(0x12, 0x34, 0x56);
        canvas.DrawRect(0, 0, kWidth, kHeight);
        mask = WriteBitmap(dir, "mask.bmp", {0xffffffff, 0xff000000, 0xff0f0f0f, 0xfff0a000});
        image = WriteBitmap(dir, "image.bmp", {0xffff0000, 0xffffffff, 0xff3c3c3c, 0xff5a5aff});
    }

    QTemporaryDir dir;
    std::string mask;
    std::string image;
};

} // namespace

TEST_F(SpriteTest, ShowsBufferOrMaskAndImageScaledToTheBox) {
    canvas.DrawSprite(8, 8, image.c_str(), mask.c_str(), 16, 16);
    const QRgb masks[] = {0xffffffff, 0xff000000, 0xff0f0f0f, 0xfff0a000};
    const QRgb images[] = {0xffff0000, 0xffffffff, 0xff3c3c3c, 0xff5a5aff};
    for (int i = 0; i < 4; ++i) {
        const int x = 8 + (i % 2) * 8, y = 8 + (i / 2) * 8;
        const QRgb expected = (kBackground | masks[i]) & images[i];
        for (auto [dx, dy] : {std::pair{0, 0}, {7, 0}, {0, 7}, {7, 7}, {4, 3}})
            EXPECT_EQ(Pixel(x + dx, y + dy), expected)
                << "quarter " << i << " at " << x + dx << "," << y + dy;
    }
    for (auto [x, y] : {std::pair{7, 8}, {24, 8}, {8, 7}, {8, 24}, {24, 24}})
        EXPECT_EQ(Pixel(x, y), kBackground) << x << "," << y;
}

TEST_F(SpriteTest, AFileThatDoesNotLoadDrawsNothing) {
    const QImage before = Buffer();
    const std::string missing = dir.filePath("missing.bmp").toStdString();
    canvas.DrawSprite(0, 0, missing.c_str(), mask.c_str(), 16, 16);
    canvas.DrawSprite(0, 0, image.c_str(), missing.c_str(), 16, 16);
    canvas.DrawSprite(0, 0, image.c_str(), nullptr, 16, 16);
    canvas.DrawSprite(0, 0, image.c_str(), mask.c_str(), 0, 16);
    EXPECT_EQ(Buffer(), before);
}

TEST_F(SpriteTest, HugeSpritesAreClipped) {
    canvas.DrawSprite(-1000000, -1000000, image.c_str(), mask.c_str(), INT_MAX, INT_MAX);
    EXPECT_EQ(Pixel(0, 0), (kBackground | 0xffffffff) & 0xffff0000);
}
