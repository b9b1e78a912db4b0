#include "core/siLang.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

TsiLangDispatcher::TsiLangDispatcher(QObject *parent) : QObject(parent) {}

TsiLangDispatcher *TsiLangDispatcher::instance()
{
    static TsiLangDispatcher *dispatcher = new TsiLangDispatcher(nullptr);
    return dispatcher;
}

QString TsiLangDispatcher::Unescape(const QString &text)
{
    if (!text.contains(QLatin1Char('\\')))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar n = text.at(i + 1);
            if (n == QLatin1Char('n')) { out += QLatin1Char('\n'); ++i; continue; }
            if (n == QLatin1Char('t')) { out += QLatin1Char('\t'); ++i; continue; }
            if (n == QLatin1Char('\\')) { out += QLatin1Char('\\'); ++i; continue; }
        }
        out += c;
    }
    return out;
}

void TsiLangDispatcher::LoadFromText(const QString &text)
{
    QString table = QStringLiteral("TDM");
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))
            && !line.contains(QLatin1Char('\t'))) {
            table = trimmed.mid(1, trimmed.size() - 2).trimmed();
            continue;
        }
        const QStringList parts = line.split(QLatin1Char('\t'));
        const QString key = parts.value(0).trimmed();
        if (key.isEmpty())
            continue;
        Entry &e = FTables[table][key];
        if (parts.size() > 1) { e.ko = Unescape(parts.at(1)); e.hasKo = true; }
        if (parts.size() > 2) { e.en = Unescape(parts.at(2)); e.hasEn = true; }
    }
}

bool TsiLangDispatcher::LoadFromFile(const QString &fileName)
{
    FFileName = fileName;
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) {
        qWarning("language file %s cannot be read", qPrintable(fileName));
        return false;
    }
    FTables.clear();
    LoadFromText(QString::fromUtf8(f.readAll()));
    return true;
}

void TsiLangDispatcher::Clear()
{
    FTables.clear();
}

bool TsiLangDispatcher::HasText(const QString &table, const QString &key, int language) const
{
    const auto t = FTables.constFind(table);
    if (t == FTables.cend())
        return false;
    const auto e = t->constFind(key);
    if (e == t->cend())
        return false;
    return language == LangEnglish ? e->hasEn : e->hasKo;
}

QString TsiLangDispatcher::TextIn(const QString &table, const QString &key, int language) const
{
    for (const QString &name : {table, QStringLiteral("TDM")}) {
        const auto t = FTables.constFind(name);
        if (t == FTables.cend())
            continue;
        const auto e = t->constFind(key);
        if (e == t->cend())
            continue;
        if (language == LangEnglish)
            return e->hasEn ? e->en : e->ko;
        return e->hasKo ? e->ko : e->en;
    }
    return key;
}

QString TsiLangDispatcher::Text(const QString &table, const QString &key) const
{
    return TextIn(table, key, FActiveLanguage);
}

QStringList TsiLangDispatcher::Tables() const
{
    QStringList l = FTables.keys();
    l.sort();
    return l;
}

QStringList TsiLangDispatcher::Keys(const QString &table) const
{
    QStringList l = FTables.value(table).keys();
    l.sort();
    return l;
}

void TsiLangDispatcher::SetActiveLanguage(int language)
{
    if (language != LangEnglish)
        language = LangKorean;
    if (language == FActiveLanguage)
        return;
    FActiveLanguage = language;
    emit languageChanged(language);
}

QString TsiLangDispatcher::LanguageName(int language)
{
    return language == LangEnglish ? QStringLiteral("English") : QStringLiteral("Korean");
}

int TsiLangDispatcher::LanguageFromName(const QString &name)
{
    return name.toUpper() == QLatin1String("ENGLISH") ? LangEnglish : LangKorean;
}

QString TsiLangDispatcher::FontFamily(int language)
{
    return language == LangEnglish ? QStringLiteral("DejaVu Sans")
                                   : QStringLiteral("Noto Sans CJK KR");
}

QString siText(const QString &table, const QString &key)
{
    return TsiLangDispatcher::instance()->Text(table, key);
}

// ---------------------------------------------------------------------------

TsiLangLinked::TsiLangLinked(QWidget *owner, const QString &table,
                             std::function<void()> retranslate)
    : QObject(owner), FOwner(owner), FTable(table), FRetranslate(std::move(retranslate))
{
    setObjectName(QStringLiteral("siLangLinked_") + table);
    connect(TsiLangDispatcher::instance(), &TsiLangDispatcher::languageChanged, this,
            [this](int) { Retranslate(); });
}

QString TsiLangLinked::Text(const QString &key) const
{
    return TsiLangDispatcher::instance()->Text(FTable, key);
}

void TsiLangLinked::TranslateComponents()
{
    if (!FOwner)
        return;
    TsiLangDispatcher *d = TsiLangDispatcher::instance();
    const int lang = d->ActiveLanguage();
    auto lookup = [&](const QString &key, QString *out) {
        if (!d->HasText(FTable, key, lang) && !d->HasText(FTable, key, 3 - lang))
            return false;
        *out = d->TextIn(FTable, key, lang);
        return true;
    };
    QString s;
    if (lookup(QStringLiteral("Caption"), &s))
        FOwner->setWindowTitle(s);
    const QList<QObject *> children = FOwner->findChildren<QObject *>();
    for (QObject *o : children) {
        const QString name = o->objectName();
        if (name.isEmpty())
            continue;
        if (lookup(name + QStringLiteral(".Caption"), &s)) {
            if (auto *a = qobject_cast<QAction *>(o)) a->setText(s);
            else if (auto *b = qobject_cast<QAbstractButton *>(o)) b->setText(s);
            else if (auto *l = qobject_cast<QLabel *>(o)) l->setText(s);
            else if (auto *g = qobject_cast<QGroupBox *>(o)) g->setTitle(s);
            else if (auto *w = qobject_cast<QWidget *>(o)) w->setWindowTitle(s);
        }
        if (lookup(name + QStringLiteral(".Text"), &s)) {
            if (auto *e = qobject_cast<QLineEdit *>(o)) e->setText(s);
        }
        if (lookup(name + QStringLiteral(".Hint"), &s)) {
            if (auto *a = qobject_cast<QAction *>(o)) a->setToolTip(s);
            else if (auto *w = qobject_cast<QWidget *>(o)) w->setToolTip(s);
        }
    }
}

void TsiLangLinked::Retranslate()
{
    if (!FOwner)
        return;
    QFont f = FOwner->font();
    f.setFamily(TsiLangDispatcher::instance()->ActiveFontFamily());
    FOwner->setFont(f);
    TranslateComponents();
    if (FRetranslate)
        FRetranslate();
}

QMetaObject::Connection siOnLanguageChanged(QObject *context, std::function<void()> fn,
                                            bool callNow)
{
    if (callNow && fn)
        fn();
    return QObject::connect(TsiLangDispatcher::instance(), &TsiLangDispatcher::languageChanged,
                            context, [fn](int) { if (fn) fn(); });
}
