// Writes a PNG of a canvas holding a few results lines (8-pixel yellow text
// on black, Japanese included), to look at the text by eye, at a device
// pixel ratio (1 unless given):
//     canvas_snapshot OUT.png [RATIO]
#include "display/canvas.h"
#include "support/cp932_reference.h"

#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace torvesk::display;

namespace {

constexpr int kSnapshotWidth = 400;
constexpr int kSnapshotHeight = 60;

// "スタートページ" (start page) in code page 932.
const char kStartPage[] = "\x83\x58\x83\x5e\x81\x5b\x83\x67\x83\x79\x81\x5b\x83\x57";

void DrawResultsLines(Canvas& canvas) {
    const std::string lines[] = {
        std::string("0: URL:http://example.com/ TITLE:Example Domain KEY:") + kStartPage,
        "2: URL:http://example.com/about TITLE:" + Utf8ToCp932("会社概要 | Example") +
            " KEY:" + Utf8ToCp932("会社について"),
        "1: URL:http://example.org/news?id=42 TITLE:" + Utf8ToCp932("ニュース一覧（２０２４年）") +
            " KEY:News",
        "0: URL:http://example.net/broken TITLE:bad \xff\x82 bytes KEY:gjpqy|",
        "5: URL:http://example.net/a-very-long-address/that/runs/past/the/right/edge/of/the/"
        "canvas/and/is/clipped/there TITLE: KEY:",
    };
    canvas.SetTextStyle(8, 255, 255, 0);
    int row = 0;
    for (const std::string& line : lines)
        canvas.PutText(10, row++ * 8 + 10, line.c_str());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s OUT.png [RATIO]\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    Canvas canvas;
    canvas.Init(kSnapshotWidth, kSnapshotHeight, argc == 3 ? std::atof(argv[2]) : 1.0);
    DrawResultsLines(canvas);
    if (!canvas.BackBuffer().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
