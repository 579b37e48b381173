// The error lines of a crawl without a window: reported by the fetch thread
// and the log thread, shown on the GUI thread in the order they came, so
// that the terminal decides where each goes (above the progress line, and
// before the results line of the page that failed).
#pragma once

#include "engine/error_reporter.h"

#include <QObject>

#include <functional>
#include <memory>

namespace torvesk::cli {

class ErrorLines : public QObject {
public:
    // Each line reported is shown by show, on this object's thread.
    explicit ErrorLines(std::function<void(const std::string& line)> show);
    // Lines still waiting go to standard error, as do any reported later (a
    // record writer left behind at the end).
    ~ErrorLines() override;
    ErrorLines(const ErrorLines&) = delete;
    ErrorLines& operator=(const ErrorLines&) = delete;

    // What the engine is given; callable from any thread, even after this
    // object has gone.
    engine::ErrorReporter reporter() const;
    // Shows every line reported so far, now.
    void showWaiting();

private:
    struct Shared;

    std::shared_ptr<Shared> shared_; // shared with every reporter handed out
    std::function<void(const std::string& line)> show_;
};

} // namespace torvesk::cli
