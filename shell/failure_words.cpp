// The line's frame (what failed, for which address, redirected from where)
// and its cause, each matched against the engine's own wording.
#include "shell/failure_words.h"

#include "display/text_codec.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

#include <iterator>
#include <vector>

using namespace torvesk::display;

namespace torvesk::shell {

namespace {

// A cause as the engine words it (%1 and %2 stand for its values: a bound,
// a proxy, a status), and the window's words for it.
struct Cause {
    const char* reported;
    const char* words;
};

constexpr Cause kCauses[] = {
    {"host name not found", QT_TRANSLATE_NOOP("FailureWords", "ホスト名が見つかりません")},
    {"could not connect", QT_TRANSLATE_NOOP("FailureWords", "接続できません")},
    {"not a valid address", QT_TRANSLATE_NOOP("FailureWords", "正しいアドレスではありません")},
    {"not a valid host name", QT_TRANSLATE_NOOP("FailureWords", "正しいホスト名ではありません")},
    {"no start address", QT_TRANSLATE_NOOP("FailureWords", "開始アドレスがありません")},
    {"only http and https are fetched",
     QT_TRANSLATE_NOOP("FailureWords", "取得するのは http と https だけです")},
    {"host name under .invalid, never looked up",
     QT_TRANSLATE_NOOP("FailureWords", ".invalid のホスト名は引きません")},
    {"secure connection failed", QT_TRANSLATE_NOOP("FailureWords", "安全な接続に失敗しました")},
    {"the server answered in plain HTTP, not in TLS",
     QT_TRANSLATE_NOOP("FailureWords", "サーバーが TLS ではなく平文の HTTP で答えました")},
    {"response header too large", QT_TRANSLATE_NOOP("FailureWords", "応答ヘッダが大きすぎます")},
    {"the server closed the connection without a reply",
     QT_TRANSLATE_NOOP("FailureWords", "サーバーが応答せずに接続を閉じました")},
    {"the connection broke off before the page was complete",
     QT_TRANSLATE_NOOP("FailureWords", "ページの途中で接続が切れました")},
    {"the connection broke off", QT_TRANSLATE_NOOP("FailureWords", "接続が切れました")},
    {"not an HTTP reply", QT_TRANSLATE_NOOP("FailureWords", "HTTP の応答ではありません")},
    {"malformed chunked body",
     QT_TRANSLATE_NOOP("FailureWords", "チャンク形式の本文が壊れています")},
    {"the server switched to another protocol (101) unasked",
     QT_TRANSLATE_NOOP("FailureWords",
                       "サーバーが求めていないプロトコル切り替え (101) をしました")},
    {"certificate expired", QT_TRANSLATE_NOOP("FailureWords", "証明書の期限が切れています")},
    {"certificate issued for another name",
     QT_TRANSLATE_NOOP("FailureWords", "証明書は別の名前に発行されています")},
    {"certificate not trusted", QT_TRANSLATE_NOOP("FailureWords", "証明書を信頼できません")},
    {"no data for %1", QT_TRANSLATE_NOOP("FailureWords", "%1 の間データがありません")},
    {"no connection within %1", QT_TRANSLATE_NOOP("FailureWords", "%1 以内に接続できません")},
    {"no answer to the secure handshake within %1",
     QT_TRANSLATE_NOOP("FailureWords", "%1 以内に安全な接続の応答がありません")},
    {"not complete within %1", QT_TRANSLATE_NOOP("FailureWords", "%1 以内に終わりません")},
    {"more than %1 redirections",
     QT_TRANSLATE_NOOP("FailureWords", "リダイレクトが %1 回を超えました")},
    {"could not connect to proxy %1",
     QT_TRANSLATE_NOOP("FailureWords", "プロキシ %1 に接続できません")},
    {"proxy %1 not found", QT_TRANSLATE_NOOP("FailureWords", "プロキシ %1 が見つかりません")},
    {"proxy %1 refused the connection with status %2",
     QT_TRANSLATE_NOOP("FailureWords", "プロキシ %1 がステータス %2 で接続を断りました")},
};

QString Translated(const char* words) {
    return QCoreApplication::translate("FailureWords", words);
}

// The reported cause as a whole-text pattern, its values caught.
QRegularExpression PatternOf(const char* reported) {
    static const QRegularExpression value(QStringLiteral("%[12]"));
    QStringList pieces;
    for (const QString& piece : QString::fromLatin1(reported).split(value))
        pieces << QRegularExpression::escape(piece);
    return QRegularExpression(QStringLiteral("^") + pieces.join(QStringLiteral("(.+)")) +
                              QStringLiteral("$"));
}

// Made once: the status bar words its failure line at every refresh.
const std::vector<QRegularExpression>& Patterns() {
    static const std::vector<QRegularExpression> patterns = [] {
        std::vector<QRegularExpression> made;
        for (const Cause& known : kCauses)
            made.push_back(PatternOf(known.reported));
        return made;
    }();
    return patterns;
}

QString CauseInWords(const QString& cause) {
    for (std::size_t i = 0; i < std::size(kCauses); ++i) {
        const QRegularExpressionMatch match = Patterns()[i].match(cause);
        if (!match.hasMatch())
            continue;
        QString words = Translated(kCauses[i].words);
        for (int value = 1; value <= match.lastCapturedIndex(); ++value)
            words = words.arg(match.captured(value));
        return words;
    }
    return cause;
}

} // namespace

QString FailureInWords(const std::string& line) {
    const QString text = DecodeForScreen(line);
    static const QRegularExpression redirected(
        QStringLiteral("^fetching (.*) \\(redirected from (.*)\\) failed: (.*)$"));
    static const QRegularExpression fetching(QStringLiteral("^fetching (.*) failed: (.*)$"));
    static const QRegularExpression nothing(QStringLiteral("^nothing fetched: (.*)$"));
    if (const auto match = redirected.match(text); match.hasMatch())
        return Translated(QT_TRANSLATE_NOOP("FailureWords",
                                            "%1 (%2 からのリダイレクト) を取得できません: %3"))
            .arg(match.captured(1), match.captured(2), CauseInWords(match.captured(3)));
    if (const auto match = fetching.match(text); match.hasMatch())
        return Translated(QT_TRANSLATE_NOOP("FailureWords", "%1 を取得できません: %2"))
            .arg(match.captured(1), CauseInWords(match.captured(2)));
    if (const auto match = nothing.match(text); match.hasMatch())
        return Translated(QT_TRANSLATE_NOOP("FailureWords", "何も取得していません: %1"))
            .arg(CauseInWords(match.captured(1)));
    return text;
}

} // namespace torvesk::shell
