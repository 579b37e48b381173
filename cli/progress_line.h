// A crawl's progress on a terminal: one line at the foot of standard error,
// rewritten in place. While it is shown, whatever any thread writes to
// standard error (a failed fetch, a record not written) reaches the
// terminal through this thread, above the line, so that no line is ever
// torn by a redraw; results lines printed to the same terminal go above it
// the same way.
#pragma once

#include "engine/descriptor.h"

#include <QObject>
#include <QSocketNotifier>

#include <memory>
#include <string>

class ProgressLine : public QObject {
public:
    // Takes standard error over, into a pipe that this thread reads; needs
    // the application.
    ProgressLine();
    // Gives standard error back, passes on what is still in the pipe, and
    // leaves the terminal's line empty.
    ~ProgressLine() override;
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
    void relay();
    void passOn(int fd);
    void draw();
    void erase();
    void toTerminal(const char* bytes, std::size_t size) const;

    Descriptor terminal_; // standard error as it was
    Descriptor pipe_;     // the read end of what standard error now is
    std::unique_ptr<QSocketNotifier> notifier_;
    std::string text_;
    bool drawn_ = false;
    bool lineOpen_ = false; // the last bytes passed on did not end a line
};
