// The causes a user can act on get words of their own; any other is the
// system's own message.
#include "shell/write_problem.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>

namespace torvesk::shell {

QString WriteProblemInWords(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return QCoreApplication::translate("WriteProblem", "書き込みの許可がありません");
    case EISDIR:
        return QCoreApplication::translate("WriteProblem", "同じ名前のフォルダがあります");
    case ENOENT:
    case ENOTDIR:
        return QCoreApplication::translate("WriteProblem", "そのフォルダがありません");
    case EROFS:
        return QCoreApplication::translate("WriteProblem", "読み取り専用のファイルシステムです");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

} // namespace torvesk::shell
