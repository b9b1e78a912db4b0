#include "foundation/IniFile.h"

#include <QFile>
#include <QSaveFile>

namespace {

struct IniText
{
    QStringList lines;
    bool crlf = false;
    bool bom = false;
    bool trailingNewline = true;
};

IniText readText(const QString &fileName)
{
    IniText t;
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return t;
    QByteArray data = f.readAll();
    if (data.startsWith("\xEF\xBB\xBF")) {
        t.bom = true;
        data.remove(0, 3);
    }
    if (data.isEmpty())
        return t;
    t.crlf = data.contains("\r\n");
    t.trailingNewline = data.endsWith('\n');
    QString text = QString::fromUtf8(data);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.lines = text.split(QLatin1Char('\n'));
    if (t.trailingNewline && !t.lines.isEmpty() && t.lines.last().isEmpty())
        t.lines.removeLast();
    return t;
}

bool writeText(const QString &fileName, const IniText &t)
{
    const QString eol = t.crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text = t.lines.join(eol);
    if (!t.lines.isEmpty())
        text += eol;
    QByteArray data = text.toUtf8();
    if (t.bom)
        data.prepend("\xEF\xBB\xBF");
    QSaveFile f(fileName);
    f.setDirectWriteFallback(true);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(data);
    return f.commit();
}

// Section name of a header line, or a null string when the line is not one.
QString sectionOf(const QString &line)
{
    const QString s = line.trimmed();
    if (!s.startsWith(QLatin1Char('[')))
        return QString();
    const qsizetype close = s.indexOf(QLatin1Char(']'));
    if (close < 0)
        return QString();
    QString name = s.mid(1, close - 1).trimmed();
    if (name.isNull())
        name = QLatin1String("");
    return name;
}

bool isComment(const QString &line)
{
    const QString s = line.trimmed();
    return s.startsWith(QLatin1Char(';')) || s.startsWith(QLatin1Char('#'));
}

// Key and value of a key line; false for anything else.
bool keyValueOf(const QString &line, QString *key, QString *value)
{
    if (isComment(line))
        return false;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    *key = line.left(eq).trimmed();
    if (value)
        *value = line.mid(eq + 1).trimmed();
    return !key->isEmpty();
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Range [begin, end) of the body of the first section named `section`; begin = -1 when missing.
void sectionRange(const QStringList &lines, const QString &section, int *begin, int *end)
{
    *begin = -1;
    *end = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const QString name = sectionOf(lines.at(i));
        if (name.isNull())
            continue;
        if (*begin >= 0) {
            *end = i;
            return;
        }
        if (sameName(name, section))
            *begin = i + 1;
    }
    if (*begin >= 0)
        *end = int(lines.size());
}

int findKey(const QStringList &lines, int begin, int end, const QString &ident)
{
    for (int i = begin; i < end; ++i) {
        QString key;
        if (keyValueOf(lines.at(i), &key, nullptr) && sameName(key, ident))
            return i;
    }
    return -1;
}

} // namespace

TIniFile::TIniFile(const QString &fileName) : FFileName(fileName) {}

QString TIniFile::ReadString(const QString &section, const QString &ident,
                             const QString &def) const
{
    const IniText t = readText(FFileName);
    bool inSection = false;
    for (const QString &line : t.lines) {
        const QString name = sectionOf(line);
        if (!name.isNull()) {
            inSection = sameName(name, section);
            continue;
        }
        if (!inSection)
            continue;
        QString key, value;
        if (keyValueOf(line, &key, &value) && sameName(key, ident))
            return value;
    }
    return def;
}

int TIniFile::ParseInteger(const QString &text, bool *ok)
{
    QString s = text.trimmed();
    bool neg = false;
    if (s.startsWith(QLatin1Char('-')) || s.startsWith(QLatin1Char('+'))) {
        neg = s.startsWith(QLatin1Char('-'));
        s.remove(0, 1);
    }
    int base = 10;
    if (s.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        s.remove(0, 2);
    } else if (s.startsWith(QLatin1Char('$'))) {
        base = 16;
        s.remove(0, 1);
    }
    bool good = !s.isEmpty();
    for (const QChar c : s)
        if (!(base == 16 ? QStringLiteral("0123456789abcdefABCDEF").contains(c) : c.isDigit()))
            good = false;
    qlonglong v = good ? s.toLongLong(&good, base) : 0;
    if (neg)
        v = -v;
    if (good && (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()))
        good = false;
    if (ok)
        *ok = good;
    return good ? int(v) : 0;
}

int TIniFile::ReadInteger(const QString &section, const QString &ident, int def) const
{
    bool ok = false;
    const int v = ParseInteger(ReadString(section, ident, QString()), &ok);
    return ok ? v : def;
}

bool TIniFile::ReadBool(const QString &section, const QString &ident, bool def) const
{
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

double TIniFile::ReadFloat(const QString &section, const QString &ident, double def) const
{
    bool ok = false;
    const double v = ReadString(section, ident, QString()).toDouble(&ok);
    return ok ? v : def;
}

bool TIniFile::WriteString(const QString &section, const QString &ident, const QString &value)
{
    IniText t = readText(FFileName);
    QString v = value;
    v.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    int begin, end;
    sectionRange(t.lines, section, &begin, &end);
    if (begin < 0) {
        if (!t.lines.isEmpty() && !t.lines.last().trimmed().isEmpty())
            t.lines << QString();
        t.lines << QLatin1Char('[') + section + QLatin1Char(']');
        t.lines << ident + QLatin1Char('=') + v;
        return writeText(FFileName, t);
    }
    const int at = findKey(t.lines, begin, end, ident);
    if (at >= 0) {
        QString key;
        keyValueOf(t.lines.at(at), &key, nullptr);
        t.lines[at] = key + QLatin1Char('=') + v;
    } else {
        int insertAt = end;
        while (insertAt > begin && t.lines.at(insertAt - 1).trimmed().isEmpty())
            --insertAt;
        t.lines.insert(insertAt, ident + QLatin1Char('=') + v);
    }
    return writeText(FFileName, t);
}

bool TIniFile::WriteInteger(const QString &section, const QString &ident, int value)
{
    return WriteString(section, ident, QString::number(value));
}

bool TIniFile::WriteBool(const QString &section, const QString &ident, bool value)
{
    return WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TIniFile::WriteFloat(const QString &section, const QString &ident, double value)
{
    return WriteString(section, ident, QString::number(value, 'g', 15));
}

bool TIniFile::SectionExists(const QString &section) const
{
    const IniText t = readText(FFileName);
    int begin, end;
    sectionRange(t.lines, section, &begin, &end);
    return begin >= 0;
}

bool TIniFile::ValueExists(const QString &section, const QString &ident) const
{
    const IniText t = readText(FFileName);
    int begin, end;
    sectionRange(t.lines, section, &begin, &end);
    return begin >= 0 && findKey(t.lines, begin, end, ident) >= 0;
}

QStringList TIniFile::ReadSections() const
{
    QStringList out;
    for (const QString &line : readText(FFileName).lines) {
        const QString name = sectionOf(line);
        if (!name.isNull()) {
            bool seen = false;
            for (const QString &s : out)
                seen = seen || sameName(s, name);
            if (!seen)
                out << name;
        }
    }
    return out;
}

QStringList TIniFile::ReadSection(const QString &section) const
{
    const IniText t = readText(FFileName);
    int begin, end;
    sectionRange(t.lines, section, &begin, &end);
    QStringList out;
    for (int i = begin; begin >= 0 && i < end; ++i) {
        QString key;
        if (keyValueOf(t.lines.at(i), &key, nullptr))
            out << key;
    }
    return out;
}

bool TIniFile::EraseSection(const QString &section)
{
    IniText t = readText(FFileName);
    int begin, end;
    sectionRange(t.lines, section, &begin, &end);
    if (begin < 0)
        return true;
    t.lines.erase(t.lines.begin() + (begin - 1), t.lines.begin() + end);
    return writeText(FFileName, t);
}

bool TIniFile::DeleteKey(const QString &section, const QString &ident)
{
    IniText t = readText(FFileName);
    int begin, end;
    sectionRange(t.lines, section, &begin, &end);
    if (begin < 0)
        return true;
    const int at = findKey(t.lines, begin, end, ident);
    if (at < 0)
        return true;
    t.lines.removeAt(at);
    return writeText(FFileName, t);
}
