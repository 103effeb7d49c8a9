#pragma once

#include <QString>
#include <QStringList>

// Every user-visible text is written in English in the program and passes through
// Translate before it is shown. A language file is an ini file with one section
// "translated" mapping English texts to their translations; a missing key or an
// empty value keeps the English text. Texts mark line breaks with the two
// characters backslash and n.
//
// The unit state is process-wide and guarded, so Translate may be called from any
// thread. On first use the file "default.lng" beside the program is opened.

// Closes the current file and opens Name ("default.lng" beside the program when
// Name is empty). A missing or unreadable file leaves every text in English.
// Qt's own texts follow the locale the file names in section "language", key
// "locale", when Qt's translations for it are installed.
void SetLanguagefile(const QString &Name);
// Closes the current file: every text stays English until the next SetLanguagefile.
void CloseFile();
// The name of the file last opened (empty after CloseFile).
QString CurrentLanguagefile();
// The locale the open language file names ("de"); empty when it names none.
QString LanguageLocale();

// The translation of Text, or Text itself; then every backslash-n becomes a
// carriage return (the program's line break in texts; see DisplayText).
QString Translate(const QString &Text);
// Translate(Format), then each argument in order takes the place of the first "%s"
// after the previous argument. A "%s" inside an inserted argument stays as it is.
QString Translate(const QString &Format, const QStringList &Args);

// The language file's translation of English exactly as stored (no line-break
// handling); empty when there is none.
QString TranslationOf(const QString &English);

// The English text of a text shown in a language: the key whose translation it
// is in a language file opened before (a window made while another language was
// chosen shows such texts), or the text itself when it is an English text of
// the current file or no translation met.
QString EnglishOf(const QString &Shown);

// The folder of the language files: "languages" in the program's folder, unless
// another was set (an empty name sets the default again).
QString LanguageFolder();
void SetLanguageFolder(const QString &Folder);
// The file of a language chosen by name: "<Language>.lng" in the language
// folder. Empty for a name holding "/" or "..", which could reach files outside
// that folder.
QString LanguageFilePath(const QString &Language);

// The language to start in for the program setting Setting: the setting itself,
// or for "default" (a user who never chose one) the desktop's language when the
// program ships it, else English (whose file puts the texts the program writes
// in German into English), so that no window speaks two languages.
QString StartLanguage(const QString &Setting);

// Texts hold carriage returns (or CR LF) as line breaks; widgets break lines at
// line feeds. Converts CR LF and CR to LF for showing.
QString DisplayText(const QString &Text);
