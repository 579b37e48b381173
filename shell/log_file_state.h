// What URL.csv is (a plain file, something else, nothing), asked off the
// GUI thread: a stat on a slow or hung mount must never stall the window.
#pragma once

#include <atomic>
#include <memory>
#include <string>

class LogFileState {
public:
    explicit LogFileState(std::string path);

    // Asks again on a thread of its own, unless an answer is still awaited;
    // a question stuck in the kernel is left behind, never waited for.
    void ask();
    // The newest answer so far (nothing before the first).
    bool isFile() const;
    bool exists() const;

private:
    enum Kind : int { Missing, File, Other };
    struct Answer {
        std::atomic<int> kind{Missing};
        std::atomic<bool> asking{false};
    };

    const std::string path_;
    std::shared_ptr<Answer> answer_; // shared with a question that may outlive this
};
