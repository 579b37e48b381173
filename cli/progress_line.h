// A crawl's progress on a terminal: one line at the foot of standard error,
// rewritten in place. Every other line written to that terminal (a failed
// fetch, a record not written, a results line) goes above it through
// printAbove, on the thread that draws it, so that no line is ever torn by
// a redraw.
#pragma once

#include <string>

namespace torvesk::cli {

class ProgressLine {
public:
    ProgressLine() = default;
    // Leaves the terminal's line empty.
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Shows text (plain ASCII) as the line, cut to the terminal's width.
    void show(std::string text);
    // Runs print, which writes a line to the terminal, above the line.
    template <typename Print> void printAbove(Print print) {
        erase();
        print();
        draw();
    }

private:
    void draw();
    void erase();

    std::string text_;
    bool drawn_ = false;
};

} // namespace torvesk::cli
