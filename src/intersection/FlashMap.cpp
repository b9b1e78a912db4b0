#include "intersection/FlashMap.h"

#include <QList>
#include <QPair>

#include "core/GridHelpers.h"

namespace Flash {

namespace {

using TCodes = QList<QPair<QString, int>>;

const TCodes kVehicle{{"RF", 0}, {"YF", 16}, {"AF", 32}, {"GF", 48}, {"X", 64}};
const TCodes kPedestrian{{"RF", 16}, {"GF", 32}, {"X", 0}};
const TCodes kP1{{"R0", 0}, {"G0", 1}, {"Y0", 2}, {"YF", 3}, {"RF", 4}, {"GF", 5}, {"X", 8}};
const TCodes kP2{{"R0", 0}, {"G0", 16}, {"Y0", 32}, {"YF", 48}, {"RF", 64}, {"GF", 80}, {"X", 128}};

QString TextOf(const TCodes &codes, int value)
{
    for (const auto &[t, v] : codes)
        if (v == value)
            return t;
    return QString();
}

int ValueOf(const TCodes &codes, const QString &text)
{
    for (const auto &[t, v] : codes)
        if (t == text)
            return v;
    return 0;
}

} // namespace

QString CodeText(TLcTypeEx type, TKind kind, const QVariant &value)
{
    if (value.isNull())
        return QString();
    const int v = value.toInt();
    if (type == lct2010_3L)
        return TextOf(kP1, v & 0x0F) + ';' + TextOf(kP2, v & 0xF0);
    return TextOf(kind == TKind::Vehicle ? kVehicle : kPedestrian, v);
}

int CodeValue(TLcTypeEx type, TKind kind, const QString &text)
{
    if (type == lct2010_3L) {
        const QStringList halves = text.split(';');
        return ValueOf(kP1, halves.value(0)) + ValueOf(kP2, halves.value(1));
    }
    return ValueOf(kind == TKind::Vehicle ? kVehicle : kPedestrian, text);
}

QStringList CodeTexts(TLcTypeEx type, TKind kind)
{
    const TCodes &codes = type == lct2010_3L ? kP1 : kind == TKind::Vehicle ? kVehicle : kPedestrian;
    QStringList l;
    for (const auto &c : codes)
        l << c.first;
    return l;
}

QString HalfText(const QString &text, TLsuType2 half)
{
    if (half == ltNone)
        return QString();
    return text.split(';').value(half == ltP1 ? 0 : 1);
}

QString WithHalf(const QString &text, TLsuType2 half, const QString &code)
{
    QString p1 = HalfText(text, ltP1), p2 = HalfText(text, ltP2);
    if (half == ltP1)
        p1 = code;
    else if (half == ltP2)
        p2 = code;
    return p1 + ';' + p2;
}

QRect HalfRect(const QRect &cell, TLsuType2 half)
{
    const int mid = cell.left() + cell.width() / 2;
    if (half == ltP1)
        return QRect(QPoint(cell.left(), cell.top()), QPoint(mid - 1, cell.bottom()));
    if (half == ltP2)
        return QRect(QPoint(mid, cell.top()), cell.bottomRight());
    return QRect();
}

QRect HalfButtonRect(const QRect &cell, TLsuType2 half, int buttonWidth)
{
    const QRect h = HalfRect(cell, half);
    if (h.isNull())
        return QRect();
    const int w = qMin(buttonWidth, h.width());
    return QRect(h.right() - w + 1, h.top(), w, h.height());
}

TLsuType2 HalfButtonAt(const QRect &cell, const QPoint &pos, int buttonWidth)
{
    for (TLsuType2 half : {ltP1, ltP2})
        if (HalfButtonRect(cell, half, buttonWidth).contains(pos))
            return half;
    return ltNone;
}

QRect HalfListRect(const QRect &cell, TLsuType2 half, int buttonWidth, int listHeight)
{
    const QRect b = HalfButtonRect(cell, half, buttonWidth);
    if (b.isNull())
        return QRect();
    const int left = half == ltP1 ? cell.left() : HalfRect(cell, ltP2).left();
    return QRect(QPoint(left, cell.bottom() + 1), QPoint(b.right(), cell.bottom() + listHeight));
}

bool PasteCompatible(TLcTypeEx copied, TLcTypeEx target)
{
    auto family = [](TLcTypeEx t) { return t == lct2010_3L ? 2 : (t == lct2004 || t == lct2010_4L) ? 1 : 0; };
    return family(copied) != 0 && family(copied) == family(target);
}

QString StateAfterEdit(const QString &state, bool stored)
{
    if (!stored && state != RowState::Deleted)
        return RowState::Inserted;
    return RowState::AfterEdit(state);
}

void SaveRow(QSqlDatabase db, TLcTypeEx type, int lcNo, TRowState state, const QString &keyValue,
             const QVariantMap &texts)
{
    QStringList cols;
    QVariantMap values;
    for (int i = 1; i <= 8; ++i)
        for (const auto &[name, kind] : {QPair<QString, TKind>{"INT_VEH", TKind::Vehicle}, {"INT_PED", TKind::Pedestrian}}) {
            const QString c = name + QString::number(i);
            cols << c;
            values[":" + c] = type == lct2004 && i >= 7 ? QVariant() : QVariant(CodeValue(type, kind, texts.value(c).toString()));
        }
    cols << "INT_VARIABCNTL" << "INT_FLASHTIME";
    for (const char *c : {"INT_VARIABCNTL", "INT_FLASHTIME"}) {
        const QVariant v = texts.value(c);
        values[QString(":") + c] = v.isNull() || v.toString().isEmpty() ? 0 : v.toInt();
    }
    QString sql;
    switch (state) {
    case TRowState::Modified: {
        QStringList set;
        for (const QString &c : cols)
            set << c + " = :" + c;
        sql = "UPDATE SCS_M_INTFLSMAP SET " + set.join(", ") + " WHERE INT_LCNO = :KEY_VALUE";
        values[":KEY_VALUE"] = keyValue;
        break;
    }
    case TRowState::Inserted:
        sql = "INSERT INTO SCS_M_INTFLSMAP (INT_LCNO, " + cols.join(", ") + ") VALUES (:INT_LCNO, :" + cols.join(", :") + ")";
        values[":INT_LCNO"] = lcNo;
        break;
    case TRowState::Deleted:
        ExecSqlOrThrow(db, "DELETE FROM SCS_M_INTFLSMAP WHERE INT_LCNO = :KEY_VALUE", {{":KEY_VALUE", keyValue}});
        return;
    case TRowState::Unchanged:
        return;
    }
    ExecSqlOrThrow(db, sql, values);
}

} // namespace Flash
