#pragma once
#include <QString>
#include <QStringList>

#include <optional>

// The language of the windows and of rx904ctl. Chinese is the language the texts are written
// in; English comes from the translations embedded in each library (translations/*.ts).
namespace i18n {

enum class Language { Chinese, English };

// The value given to --language ("--language en" or "--language=en"), if any.
[[nodiscard]] std::optional<QString> languageOption(const QStringList &arguments);

// "zh" or "en"; nullopt for any other value.
[[nodiscard]] std::optional<Language> languageNamed(const QString &name);

// The language of this run: the --language value when it names one, else the first of the
// desktop's UI languages (most preferred first, as QLocale::uiLanguages() gives them) that is
// Chinese or English; Chinese for any other language and for the C locale.
[[nodiscard]] Language chooseLanguage(const std::optional<QString> &option,
                                      const QStringList &uiLanguages);

// The language chosen from `arguments` and the desktop's UI languages.
[[nodiscard]] Language languageFor(const QStringList &arguments);

// Installs the translations of `language` into the running application: the tool's own texts
// and Qt's (dialog buttons, "Look in", "… already exists"). Needs a QCoreApplication.
void installTranslations(Language language);

// The items of a list in the language of this run: "2400、4800" or "2400, 4800".
[[nodiscard]] QString listed(const QStringList &items);

} // namespace i18n
