// What URL.csv is (a plain file, something else, nothing) and whether a
// record could be appended to it, asked off the GUI thread: a stat on a slow
// or hung mount must never stall the window.
#pragma once

#include <atomic>
#include <memory>
#include <string>

namespace torvesk::shell {

class LogFileState {
public:
    explicit LogFileState(std::string path);

    // Asks again on a thread of its own, unless an answer is still awaited;
    // a question stuck in the kernel is left behind, never waited for.
    void ask();
    // The newest answer so far (nothing before the first).
    bool isFile() const;
    bool exists() const;
    // Why no record could be appended (an errno: EACCES, EISDIR, ENOENT for
    // a folder that is not there, EROFS, ...), 0 when one could be or
    // before the first answer.
    int writeProblem() const;

private:
    enum Kind : int { Missing, File, Other };
    struct Answer {
        std::atomic<int> kind{Missing};
        std::atomic<int> writeProblem{0};
        std::atomic<bool> asking{false};
    };

    const std::string path_;
    std::shared_ptr<Answer> answer_; // shared with a question that may outlive this
};

} // namespace torvesk::shell
