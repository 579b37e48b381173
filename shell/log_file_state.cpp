// The question is a detached thread that holds the answer, not this object.
#include "shell/log_file_state.h"

#include <sys/stat.h>
#include <thread>
#include <utility>

LogFileState::LogFileState(std::string path)
    : path_(std::move(path)), answer_(std::make_shared<Answer>()) {}

void LogFileState::ask() {
    if (answer_->asking.exchange(true))
        return;
    std::thread([path = path_, answer = answer_] {
        struct stat status {};
        const bool found = ::stat(path.c_str(), &status) == 0;
        answer->kind = !found ? Missing : S_ISREG(status.st_mode) ? File : Other;
        answer->asking = false;
    }).detach();
}

bool LogFileState::isFile() const {
    return answer_->kind == File;
}

bool LogFileState::exists() const {
    return answer_->kind != Missing;
}
