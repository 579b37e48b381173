// The question is a detached thread that holds the answer, not this object.
// Whether a record could be appended is asked of the kernel with access(2),
// without opening the file: a FIFO must not be held open.
#include "shell/log_file_state.h"

#include <cerrno>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace torvesk::shell {

namespace {

// The folder path is in, as open(2) would look for it.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

int WriteProblem(const std::string& path, bool found, const struct stat& status) {
    if (found && S_ISDIR(status.st_mode))
        return EISDIR;
    const std::string& asked = found ? path : FolderOf(path);
    return ::access(asked.c_str(), found ? W_OK : W_OK | X_OK) == 0 ? 0 : errno;
}

} // namespace

LogFileState::LogFileState(std::string path)
    : path_(std::move(path)), answer_(std::make_shared<Answer>()) {}

void LogFileState::ask() {
    if (answer_->asking.exchange(true))
        return;
    std::thread([path = path_, answer = answer_] {
        struct stat status {};
        const bool found = ::stat(path.c_str(), &status) == 0;
        answer->kind = !found ? Missing : S_ISREG(status.st_mode) ? File : Other;
        answer->writeProblem = WriteProblem(path, found, status);
        answer->asking = false;
    }).detach();
}

bool LogFileState::isFile() const {
    return answer_->kind == File;
}

bool LogFileState::exists() const {
    return answer_->kind != Missing;
}

int LogFileState::writeProblem() const {
    return answer_->writeProblem;
}

} // namespace torvesk::shell
