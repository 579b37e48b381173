// Decoding one full results line for the screen: the mixed UTF-8 and code
// page 932 decoding against the old whole-line code page 932 decoding, and
// the Canvas's whole PutText of the same line, to show the decode's share,
// at device pixel ratio 1 and 2 (a 2x display).
#include "display/canvas.h"
#include "display/text_codec.h"

#include "support/cp932_reference.h"

#include <QString>
#include <benchmark/benchmark.h>

#include <string>

using namespace torvesk::display;

namespace {

constexpr std::size_t kFieldBytes = 200; // URL, TITLE and KEY as taken from a page

enum Flavour { kAllCp932, kUtf8Title, kAscii };

std::string Repeated(const std::string& unit) {
    std::string text;
    while (text.size() < 2 * kFieldBytes)
        text += unit;
    return text;
}

// Code page 932 cut before the character that would pass the field size;
// utf8 holds three-byte characters only.
std::string Cp932Field(const std::string& utf8) {
    std::string field;
    for (std::size_t at = 0;; at = (at + 3) % utf8.size()) {
        const std::string character = Utf8ToCp932(utf8.substr(at, 3));
        if (field.size() + character.size() > kFieldBytes)
            return field;
        field += character;
    }
}

// UTF-8 cut at the field size, inside a character as a page's title can be.
std::string Utf8Field(const std::string& utf8) {
    return Repeated(utf8).substr(0, kFieldBytes);
}

std::string ResultsLine(Flavour flavour) {
    const std::string url =
        Repeated("http://127.0.0.1/news/2024/index.html?id=42&").substr(0, kFieldBytes);
    const std::string title =
        flavour == kAllCp932    ? Cp932Field("ニュース一覧（２０２４年）会社概要")
        : flavour == kUtf8Title ? Utf8Field("ニュース一覧（２０２４年）会社概要")
                                : Repeated("Example Domain News ").substr(0, kFieldBytes);
    const std::string key = flavour == kAscii ? Repeated("More information ").substr(0, kFieldBytes)
                                              : Cp932Field("会社についてのお知らせ");
    return "199: URL:" + url + " TITLE:" + title + " KEY:" + key;
}

void Label(benchmark::State& state, const std::string& line, const std::string& more = "") {
    const char* names[] = {"all code page 932", "UTF-8 title", "ASCII"};
    state.SetLabel(std::string(names[state.range(0)]) + ", " + std::to_string(line.size()) +
                   " bytes" + more);
}

void BM_DecodeMixed(benchmark::State& state) {
    const std::string line = ResultsLine(static_cast<Flavour>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeForScreen(line));
    Label(state, line);
}
BENCHMARK(BM_DecodeMixed)->DenseRange(kAllCp932, kAscii)->Unit(benchmark::kMicrosecond);

void BM_DecodeOld(benchmark::State& state) {
    const std::string line = ResultsLine(static_cast<Flavour>(state.range(0)));
    for (auto _ : state) {
        const std::string utf8 = Cp932ToUtf8(line);
        benchmark::DoNotOptimize(
            QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    }
    Label(state, line);
}
BENCHMARK(BM_DecodeOld)->DenseRange(kAllCp932, kAscii)->Unit(benchmark::kMicrosecond);

// The Canvas's decoding plus the drawing, at the ratio of the second
// argument.
void BM_PutText(benchmark::State& state) {
    const std::string line = ResultsLine(static_cast<Flavour>(state.range(0)));
    Canvas canvas;
    canvas.Init(kCanvasWidth, kCanvasHeight, double(state.range(1)));
    canvas.SetTextStyle(8, 255, 255, 0);
    for (auto _ : state)
        canvas.PutText(10, 10, line.c_str());
    Label(state, line, ", ratio " + std::to_string(state.range(1)));
}
BENCHMARK(BM_PutText)
    ->ArgsProduct({{kAllCp932, kUtf8Title, kAscii}, {1, 2}})
    ->Unit(benchmark::kMicrosecond);

} // namespace
