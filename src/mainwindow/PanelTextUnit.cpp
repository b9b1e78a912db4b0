#include "mainwindow/PanelTextUnit.h"

#include "core/siLang.h"
#include "core/untDM.h"

QString PanelText(const QString &key)
{
    return siText(QStringLiteral("TfrmMain"), key);
}

QString PanelAppTitle()
{
    if (DM && !DM->G_APP_TITLE.isEmpty())
        return DM->G_APP_TITLE;
    return siText(QStringLiteral("TDM"), QStringLiteral("strAPP_TITLE"));
}

QString PanelFormat(const QString &format, const QVariantList &args)
{
    QString out;
    out.reserve(format.size() + 16);
    int next = 0;
    for (int i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c != QLatin1Char('%') || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        const QChar f = format.at(i + 1);
        if (f == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
        } else if ((f == QLatin1Char('d') || f == QLatin1Char('s')) && next < args.size()) {
            const QVariant &v = args.at(next++);
            out += f == QLatin1Char('d') ? QString::number(v.toLongLong()) : v.toString();
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QString PanelJsVar(const QString &prefix, const QString &id)
{
    QString v = prefix;
    for (const QChar c : id) {
        const ushort u = c.unicode();
        if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9'))
            v += c;
        else
            v += QStringLiteral("_x%1").arg(u, 4, 16, QLatin1Char('0'));
    }
    return v;
}
