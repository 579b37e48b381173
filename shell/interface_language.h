// The language of the window: Japanese, its source language, on a Japanese
// desktop and where no language is set (the C or POSIX locale); English,
// through Qt's translation system, for every other language.
#pragma once

#include <QString>
#include <QTranslator>

#include <functional>
#include <memory>

namespace torvesk::shell {

enum class InterfaceLanguage { Japanese, English };

// The value of an environment variable, empty when it is not set.
using EnvironmentLookup = std::function<QString(const char* name)>;

// Reads LANGUAGE (a colon-separated list of preferences), then LC_ALL,
// LC_MESSAGES and LANG, as gettext does: the first language that is neither
// C nor POSIX decides.
InterfaceLanguage ChooseInterfaceLanguage(const EnvironmentLookup& environment);

// Installs the translation the environment asks for into the application
// and returns it, to be kept for the application's life; nothing for
// Japanese.
std::unique_ptr<QTranslator> InstallTranslation(const EnvironmentLookup& environment);

} // namespace torvesk::shell
