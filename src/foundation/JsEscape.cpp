#include "foundation/JsEscape.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

QString JsEscape(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        switch (u) {
        case '"': out += QLatin1String("\\\""); break;
        case '\'': out += QLatin1String("\\'"); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        case '\b': out += QLatin1String("\\b"); break;
        case '\f': out += QLatin1String("\\f"); break;
        case '\v': out += QLatin1String("\\v"); break;
        case '<':
            // "</script>" and "<!--" must never appear inside a script.
            out += QLatin1String("\\u003C");
            break;
        case '>': out += QLatin1String("\\u003E"); break;
        case 0x2028: out += QLatin1String("\\u2028"); break;
        case 0x2029: out += QLatin1String("\\u2029"); break;
        default:
            if (u < 0x20 || u == 0x7F)
                out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
}

QString JsStr(const QString &text)
{
    return QLatin1Char('"') + JsEscape(text) + QLatin1Char('"');
}

QString JsNum(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    // QString::number always uses the C locale; 'g' with the shortest exact form.
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString JsNum(qint64 value)
{
    return QString::number(value);
}

QString JsNumText(const QString &text, const QString &fallback)
{
    static const QRegularExpression number(
        QStringLiteral("^\\s*[-+]?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?\\s*$"));
    if (!number.match(text).hasMatch())
        return fallback;
    // A decimal text can still be out of range ("1e999", four hundred nines): the
    // page would read Infinity. Only a finite number goes in.
    const QString t = text.trimmed();
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return fallback;
    return t;
}
