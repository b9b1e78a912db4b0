#pragma once
// Language texts of the console: one dispatcher holding every window's text
// table in Korean (1) and English (2), loaded from the language file.
//
// File format (UTF-8):
//     # comment
//     [TableName]                 <- "TDM" for the data module, else the window class
//     KEY<TAB>Korean text<TAB>English text
// Escapes inside texts: \n newline, \t tab, \\ backslash.
// A key missing in a window's table is looked up in [TDM].
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

class TsiLangDispatcher : public QObject
{
    Q_OBJECT
public:
    enum { LangKorean = 1, LangEnglish = 2 };

    static TsiLangDispatcher *instance();

    // Replaces every table with the file's contents; false when the file cannot be read.
    bool LoadFromFile(const QString &fileName);
    // Adds (or overrides) the tables of one text in the file format.
    void LoadFromText(const QString &text);
    void Clear();
    QString FileName() const { return FFileName; }

    // Text of `key` in the active language: the window's table, then [TDM]; the key
    // itself when neither has it.
    QString Text(const QString &table, const QString &key) const;
    // The same in a given language (1 Korean, 2 English).
    QString TextIn(const QString &table, const QString &key, int language) const;
    // Whether the key exists in that table (no [TDM] fallback) with a text in `language`.
    bool HasText(const QString &table, const QString &key, int language) const;
    QStringList Tables() const;
    QStringList Keys(const QString &table) const;

    int ActiveLanguage() const { return FActiveLanguage; }
    // Switches the language; emits languageChanged when it actually changes.
    void SetActiveLanguage(int language);
    // "Korean" for 1, "English" for 2.
    static QString LanguageName(int language);
    // The language number for an INI value: 2 when it is "ENGLISH" in upper case, else 1.
    static int LanguageFromName(const QString &name);
    // Window font family of a language: Noto Sans CJK KR (Korean), DejaVu Sans (English).
    static QString FontFamily(int language);
    QString ActiveFontFamily() const { return FontFamily(FActiveLanguage); }

    // Unescapes \n, \t and \\ of the file format.
    static QString Unescape(const QString &text);

signals:
    void languageChanged(int language);

private:
    explicit TsiLangDispatcher(QObject *parent = nullptr);
    struct Entry { QString ko, en; bool hasKo = false, hasEn = false; };
    // table -> key -> texts
    QHash<QString, QHash<QString, Entry>> FTables;
    QString FFileName;
    int FActiveLanguage = LangKorean;
};

// Text of `key` of `table` in the active language ([TDM] fallback).
QString siText(const QString &table, const QString &key);

// A window's own text table, linked to the dispatcher (siLangLinked_<form> of the
// original). It looks keys up in its table and then in [TDM]. When the language
// changes it sets the window's font for the language, translates the named
// components ("<objectName>.Caption", ".Hint", ".Text" keys, see TranslateComponents)
// and runs the window's retranslate function. The object is a child of the window;
// the window calls Retranslate() once itself when it has built its widgets.
class TsiLangLinked : public QObject
{
    Q_OBJECT
public:
    TsiLangLinked(QWidget *owner, const QString &table,
                  std::function<void()> retranslate = {});
    QString Table() const { return FTable; }
    QString Text(const QString &key) const;
    QString operator()(const QString &key) const { return Text(key); }
    // Sets captions of the owner and its children from keys named after them:
    // "<objectName>.Caption" -> text/title/window title, "<objectName>.Hint" -> tool tip.
    // The owner itself may also use the key "Caption".
    void TranslateComponents();
    // Runs everything a language change runs, now.
    void Retranslate();

private:
    QPointer<QWidget> FOwner;
    QString FTable;
    std::function<void()> FRetranslate;
};

// Calls `fn` whenever the language changes while `context` lives; with callNow also at once.
QMetaObject::Connection siOnLanguageChanged(QObject *context, std::function<void()> fn,
                                            bool callNow = true);
