#include "core/GridClipboard.h"

#include "core/GridModel.h"

bool IsCheckColumn(const TGridModel &model, int col)
{
    return col >= 0 && col < model.ColumnCount()
        && model.Column(col).Editor == QLatin1String("cxEditRepositoryCheckBoxItem");
}

QString GridRowToClipboardText(const TGridModel &model, int rec, const QList<int> &columns)
{
    QStringList fields;
    for (int col : columns) {
        const QVariant v = model.Value(rec, col);
        if (IsCheckColumn(model, col))
            fields << (v.toInt() == 1 ? QStringLiteral("Y") : QStringLiteral("N"));
        else if (!model.Column(col).Items.isEmpty())
            fields << TGridModel::ItemText(model.Column(col), v);
        else
            fields << (v.isNull() ? QString() : v.toString());
    }
    return fields.join(QLatin1Char('\t'));
}

QStringList ClipboardRowFields(const QString &text)
{
    QString t = text;
    while (t.endsWith(QLatin1Char('\n')) || t.endsWith(QLatin1Char('\r')))
        t.chop(1);
    return t.split(QLatin1Char('\t'));
}

int CheckFieldValue(const QString &field)
{
    return field == QLatin1String("Y") ? 1 : 0;
}

QVariant SpinFieldValue(const QString &field)
{
    if (field.isEmpty())
        return QVariant();
    bool ok = false;
    const int v = field.trimmed().toInt(&ok);
    return ok ? v : 0;
}
