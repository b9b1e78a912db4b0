#include "core/GridResources.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include "core/siLang.h"
#include "core/untDM.h"

namespace {

QList<TGridStyle> makeStyles()
{
    return {
        {"stlDefault", {}, {}, false},
        {"stlBold", {}, {}, true},
        {"stlReadOnly", QColor(179, 179, 179), {}, false},
        {"stlEven", QColor(237, 237, 237), {}, false},
        {"stlSelection", QColor(220, 230, 245), {}, false},
        {"stlEOP", QColor(220, 124, 124), {}, false},
        {"stlEvent", QColor(237, 237, 205), {}, false},
        {"stlKey", QColor(161, 200, 221), {}, false},
        {"stlDisable", {}, QColor(179, 179, 179), false},
        {"stlStatic", QColor(226, 147, 92), {}, false},
        {"stlLabel", QColor(215, 234, 218), {}, false},
        {"stlGridSelection", QColor(225, 225, 225), {}, false},
        {"stlInvalidate", {}, QColor(255, 0, 0), true},
        {"stlReadOnly2", QColor(112, 146, 190), QColor(255, 255, 255), false},
        {"stlIndicator", QColor(245, 245, 245), {}, false},
        {"stlInvalidate2", QColor(197, 64, 64), QColor(255, 255, 255), false},
    };
}

const QList<TGridStyle> &styles()
{
    static const QList<TGridStyle> s = makeStyles();
    return s;
}

TRepositoryItem spin(const char *name, qint64 min, qint64 max,
                     Qt::Alignment align = Qt::AlignCenter, bool hideZero = false,
                     bool clearOnDelete = false, bool readOnly = false)
{
    TRepositoryItem i;
    i.Name = QLatin1String(name);
    i.EditKind = TRepositoryItem::Spin;
    i.Min = min;
    i.Max = max;
    i.Align = align;
    i.HideZero = hideZero;
    i.ClearOnDelete = clearOnDelete;
    i.ReadOnly = readOnly;
    return i;
}

TRepositoryItem simple(const char *name, TRepositoryItem::Kind kind, Qt::Alignment align = Qt::AlignCenter)
{
    TRepositoryItem i;
    i.Name = QLatin1String(name);
    i.EditKind = kind;
    i.Align = align;
    return i;
}

TRepositoryItem combo(const char *name, std::initializer_list<std::pair<QVariant, const char *>> values)
{
    TRepositoryItem i;
    i.Name = QLatin1String(name);
    i.EditKind = TRepositoryItem::ImageCombo;
    for (const auto &v : values)
        i.Values.append({v.first, QString::fromUtf8(v.second)});
    return i;
}

QList<TRepositoryItem> makeItems()
{
    const Qt::Alignment R = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment C = Qt::AlignCenter;
    QList<TRepositoryItem> l = {
        spin("cxEditRepositorySpinItem", 0, 2147483647),
        spin("cxEditRepositorySpinItemAlignRight", 0, 2147483647, R),
        spin("cxEditRepositorySpinItemOneMin", 1, 2147483647),
        spin("cxEditRepositorySpinItemReadOnly", 0, 2147483647, C, false, false, true),
        spin("cxEditRepositorySpinItemHideZero", 0, 2147483647, C, true),
        spin("cxEditRepositorySpinItemHideZeroMinZero", 0, 2147483647, R, true),
        spin("cxEditRepositorySpinItemPhase", 1, 8),
        spin("cxEditRepositorySpinItem16Phase", 1, 16),
        spin("cxEditRepositorySpinItem1to10", 1, 10),
        spin("cxEditRepositorySpinItemSAMerge", 1, 4),
        spin("cxEditRepositorySpinItemTFDT2004", 1, 32),
        spin("cxEditRepositorySpinItemTFDT2010", 1, 64),
        spin("cxEditRepositorySpinItemTFDT", 1, 128),
        spin("cxEditRepositorySpinItemTFDT_INDIRECT", 1, 64),
        spin("cxEditRepositorySpinItem2Digit", 0, 99, R),
        spin("cxEditRepositorySpinItem3Digit", 0, 999, R),
        spin("cxEditRepositorySpinItem4Digit", 0, 9999, R),
        spin("cxEditRepositorySpinItem5Digit", 0, 99999, R),
        spin("cxEditRepositorySpinItem7Bit", 0, 7),
        spin("cxEditRepositorySpinItem8Bit", 0, 8),
        spin("cxEditRepositorySpinItem1Byte", 0, 255),
        spin("eriSpinItem1ByteAlignRight", 0, 255, R),
        spin("cxEditRepositorySpinItem2Byte", 0, 65535),
        spin("cxEditRepositorySpinItem4Byte", 0, 4294967295LL),
        spin("cxEditRepositorySpinItemMonth", 0, 12, C, true),
        spin("cxEditRepositorySpinItemDay", 0, 31, C, true),
        spin("erSpinItemHourAlignCenter", 0, 23),
        spin("erSpinItemMinAlignCenter", 0, 59),
        spin("eriSpinItemMonth", 0, 12, C, true, true),
        spin("eriSpinItemDay", 0, 31, C, true, true),
        spin("eriSpinItemHour", 0, 23, R, false, true),
        spin("eriSpinItemMin", 0, 59, R, false, true),
        spin("eriSpinItemSchdIndex", 1, 10),
        spin("eriSpinItemMsgIndex", 1, 16),
        simple("cxEditRepositoryTextItem", TRepositoryItem::Text),
        simple("cxEditRepositoryTextItemAlignRight", TRepositoryItem::Text, R),
        simple("cxEditRepositoryTextItemAlignLeft", TRepositoryItem::Text, Qt::AlignLeft | Qt::AlignVCenter),
        simple("cxEditRepositoryCheckBoxItem", TRepositoryItem::Check),
        simple("cxEditRepositoryCurrencyItemAlignRight", TRepositoryItem::Currency, R),
        simple("cxEditRepositoryDateItem", TRepositoryItem::Date),
        simple("cxEditRepositoryDateTimeItem", TRepositoryItem::DateTime),
        combo("eriImageComboBoxRing", {{1, "A Ring"}, {2, "B Ring"}}),
        combo("eriImageComboBoxItemRing", {{1, "A"}, {2, "B"}}),
        combo("erTFDTCongestion", {{"-", "-"}, {"1", "극심정체"}, {"2", "정체"}, {"3", "지체"}, {"4", "소통원활"}}),
        combo("cxEditRepositoryImageComboBoxPPCControlMode", {{0, "주기변경"}, {1, "직접제어"}}),
        combo("eriAppEmergencyStatus", {{0, "요청"}, {1, "진행"}, {2, "완료"}}),
        combo("eriImageComboBoxItemWeek",
              {{0, "-"}, {1, "일요일"}, {2, "월요일"}, {3, "화요일"}, {4, "수요일"}, {5, "목요일"},
               {6, "금요일"}, {7, "토요일"}, {8, "공휴일(휴일계획에 지정된 휴일)"}, {9, "모든 주중(월-금)"},
               {10, "모든 주말(토, 일)"}, {11, "매 월 격주 첫 번째 토요일"}, {12, "매 월 격주 두 번째 토요일"}}),
        combo("eriImageComboBoxItemSchdDirection",
              {{0, "미사용"}, {1, "북쪽"}, {2, "동쪽"}, {3, "남쪽"}, {4, "서쪽"}, {5, "북동"}, {6, "남동"},
               {7, "남서"}, {8, "북서"}, {9, "전방향"}}),
        combo("eriImageComboBoxItemMsgDirection",
              {{0, "미사용"}, {1, "북쪽"}, {2, "동쪽"}, {3, "남쪽"}, {4, "서쪽"}, {5, "북동"}, {6, "남동"},
               {7, "남서"}, {8, "북서"}}),
        combo("eriImageComboBoxItemSchdType",
              {{0, "미사용"}, {1, "일반"}, {2, "교통"}, {3, "긴급"}, {4, "일반+교통"}, {5, "일반+긴급"},
               {6, "교통+긴급"}, {7, "일반+교통+긴급"}}),
        combo("eriImageComboBoxItemMsgType", {{0, "미사용"}, {1, "일반"}, {2, "교통"}, {3, "긴급"}}),
        combo("eriImageComboBoxItemAppearType", {{0, "바로"}, {1, "좌"}, {2, "상"}, {3, "하"}}),
        combo("eriImageComboBoxItemDisappearType", {{0, "바로"}, {1, "좌"}, {2, "하"}, {3, "상"}}),
        combo("eriImageComboBoxItemDispMode",
              {{0, "미사용"}, {1, "이전메세지무시하고 즉시 표출"}, {2, "이전메세지 표출 종료후 표출"}}),
        combo("eriImageComboBoxItemFont", {{0, "기본"}, {1, "폰트1"}, {2, "폰트2"}, {3, "폰트3"}}),
        combo("eriImageComboBoxItemColor", {{0, "검정"}, {1, "적색"}, {2, "녹색"}, {3, "황색"}}),
        combo("eriImageComboBoxItemBlink", {{0, "사용안함"}, {1, "사용함"}}),
        combo("eriImageComboBoxItemFuncType", {{0, "0"}, {1, "1"}, {2, "2"}, {3, "3"}, {4, "4"}}),
        combo("eriImageComboBoxItemType2004",
              {{0, "8각"}, {1, "32각"}, {2, "원형"}, {3, "루프호환"}, {4, "MAGNETIC"}, {5, "영상"}, {6, "기타"}}),
        combo("eriImageComboBoxItemType2010",
              {{0, "8각"}, {1, "32각"}, {2, "원형"}, {3, "LONG LOOP"}, {4, "점형 검지기"}, {5, "영상"},
               {6, "기타"}, {7, "에러"}}),
        combo("eriImageComboBoxItemUse",
              {{1, "직진"}, {2, "좌회전"}, {3, "대기길이"}, {4, "앞막힘"}, {5, "좌회전대기"},
               {6, "쌍루프(상류)"}, {7, "쌍루프(하류)"}, {8, "기타"}}),
        combo("eriImageComboBoxItemDir",
              {{1, "북"}, {2, "동"}, {3, "남"}, {4, "서"}, {5, "북동"}, {6, "남동"}, {7, "남서"}, {8, "북서"}}),
        combo("erTFDTSimpleDir",
              {{1, "북"}, {2, "동"}, {3, "남"}, {4, "서"}, {5, "북동"}, {6, "남동"}, {7, "남서"}, {8, "북서"}}),
    };
    TRepositoryItem linkId = simple("cxEditRepositoryMaskItemLinkID", TRepositoryItem::Mask);
    linkId.Pattern = QStringLiteral("[0-9]{10}");
    l << linkId;
    TRepositoryItem phil = simple("eriMaskItemP_3L_Phil", TRepositoryItem::Mask);
    phil.Pattern = QStringLiteral("0?[0,1,2,3,4,8]");
    l << phil;
    TRepositoryItem mvmt = simple("cxEditRepositoryImageComboBoxMvmt", TRepositoryItem::MvmtPicture);
    mvmt.ReadOnly = true;
    for (int v : {1, 2, 3, 4, 5, 6, 7, 8, 17, 18})
        mvmt.Values.append({v, QString::number(v)});
    l << mvmt;
    TRepositoryItem mvmtText = simple("cxEditRepositoryImageComboBoxMvmtText", TRepositoryItem::MvmtPicture);
    mvmtText.ReadOnly = true;
    for (int v = 1; v <= 10; ++v)
        mvmtText.Values.append({QString::number(v), QString::number(v)});
    mvmtText.Values.append({QString(QLatin1String("")), QString()});
    l << mvmtText;
    return l;
}

const QList<TRepositoryItem> &items()
{
    static const QList<TRepositoryItem> i = makeItems();
    return i;
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    return a.toString() == b.toString();
}

} // namespace

namespace GridResources {

const TGridStyle *Style(const QString &name)
{
    for (const TGridStyle &s : styles())
        if (s.Name == name)
            return &s;
    return nullptr;
}

QStringList StyleNames()
{
    QStringList l;
    for (const TGridStyle &s : styles())
        l << s.Name;
    return l;
}

QFont StyleFont(const QString &name)
{
    QFont f(TsiLangDispatcher::instance()->ActiveFontFamily(), 8);
    if (const TGridStyle *s = Style(name))
        f.setBold(s->Bold);
    return f;
}

QList<QPair<QVariant, QString>> ItemValues(const TRepositoryItem &item)
{
    auto *lang = TsiLangDispatcher::instance();
    const QString table = QStringLiteral("GridResources");
    const int language = lang->ActiveLanguage();
    QList<QPair<QVariant, QString>> list;
    list.reserve(item.Values.size());
    for (const auto &v : item.Values) {
        const QString key = item.Name + QLatin1Char('.') + v.first.toString();
        list.append({v.first, lang->HasText(table, key, language) ? lang->TextIn(table, key, language) : v.second});
    }
    return list;
}

const TRepositoryItem *Item(const QString &name)
{
    for (const TRepositoryItem &i : items())
        if (i.Name == name)
            return &i;
    return nullptr;
}

QStringList ItemNames()
{
    QStringList l;
    for (const TRepositoryItem &i : items())
        l << i.Name;
    return l;
}

QAbstractItemDelegate *CreateDelegate(const QString &name, QObject *parent)
{
    const TRepositoryItem *i = Item(name);
    return i ? new TRepositoryDelegate(*i, parent) : nullptr;
}

QString DisplayText(const TRepositoryItem &item, const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return QString();
    switch (item.EditKind) {
    case TRepositoryItem::Spin: {
        bool ok = false;
        const qint64 v = value.toLongLong(&ok);
        if (!ok)
            return value.toString();
        return item.HideZero && v == 0 ? QString() : QString::number(v);
    }
    case TRepositoryItem::Check: {
        bool ok = false;
        const int v = value.toInt(&ok);
        return ok ? (v != 0 ? QStringLiteral("Y") : QStringLiteral("N")) : QString();
    }
    case TRepositoryItem::Currency: {
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (!ok)
            return value.toString();
        QLocale c(QLocale::C);
        c.setNumberOptions(QLocale::DefaultNumberOptions);
        return c.toString(qint64(qRound64(v)));
    }
    case TRepositoryItem::Date:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case TRepositoryItem::DateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    case TRepositoryItem::ImageCombo:
    case TRepositoryItem::MvmtPicture:
        for (const auto &v : ItemValues(item))
            if (sameValue(v.first, value))
                return v.second;
        return QString();
    case TRepositoryItem::Text:
    case TRepositoryItem::Mask:
        break;
    }
    return value.toString();
}

QVariant ValueFromText(const TRepositoryItem &item, const QString &text, bool *ok)
{
    const QString t = text.trimmed();
    *ok = true;
    switch (item.EditKind) {
    case TRepositoryItem::Spin: {
        if (t.isEmpty())
            return QVariant(QMetaType::fromType<qint64>());
        bool good = false;
        qint64 v = t.toLongLong(&good);
        if (!good) {
            *ok = false;
            return QVariant();
        }
        v = qBound(item.Min, v, item.Max);
        return v <= 2147483647 ? QVariant(int(v)) : QVariant(v);
    }
    case TRepositoryItem::Mask: {
        if (t.isEmpty())
            return QVariant(QMetaType::fromType<QString>());
        const QRegularExpression re(QRegularExpression::anchoredPattern(item.Pattern));
        if (!re.match(t).hasMatch()) {
            *ok = false;
            return QVariant();
        }
        return t;
    }
    case TRepositoryItem::Currency: {
        if (t.isEmpty())
            return QVariant(QMetaType::fromType<double>());
        QString digits = t;
        digits.remove(QLatin1Char(','));
        bool good = false;
        const double v = digits.toDouble(&good);
        if (!good) {
            *ok = false;
            return QVariant();
        }
        return v;
    }
    default:
        return text;
    }
}

QString EmptyViewText()
{
    if (DM && DM->G_L10N_LANGUAGE == QLatin1String("Korean"))
        return QStringLiteral("데이터가 존재하지 않습니다.");
    return QStringLiteral("<No data to display>");
}

} // namespace GridResources

// ---------------------------------------------------------------------------

TRepositoryDelegate::TRepositoryDelegate(const TRepositoryItem &item, QObject *parent)
    : QStyledItemDelegate(parent), FItem(item)
{
    setObjectName(item.Name);
}

QString TRepositoryDelegate::displayText(const QVariant &value, const QLocale &) const
{
    return GridResources::DisplayText(FItem, value);
}

void TRepositoryDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (!index.data(Qt::TextAlignmentRole).isValid())
        option->displayAlignment = FItem.Align;
}

QWidget *TRepositoryDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                           const QModelIndex &) const
{
    if (FItem.ReadOnly || FItem.EditKind == TRepositoryItem::Check)
        return nullptr;
    switch (FItem.EditKind) {
    case TRepositoryItem::Date: {
        auto *e = new QDateEdit(parent);
        e->setCalendarPopup(true);
        e->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        e->installEventFilter(const_cast<TRepositoryDelegate *>(this));
        return e;
    }
    case TRepositoryItem::DateTime: {
        auto *e = new QDateTimeEdit(parent);
        e->setCalendarPopup(true);
        e->setDisplayFormat(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        e->installEventFilter(const_cast<TRepositoryDelegate *>(this));
        return e;
    }
    case TRepositoryItem::ImageCombo: {
        auto *c = new QComboBox(parent);
        for (const auto &v : GridResources::ItemValues(FItem))
            c->addItem(v.second, v.first);
        c->setFocusPolicy(Qt::StrongFocus);
        c->installEventFilter(const_cast<TRepositoryDelegate *>(this)); // no wheel
        return c;
    }
    default: {
        auto *e = new QLineEdit(parent);
        e->setFrame(false);
        e->setAlignment(FItem.Align);
        if (FItem.EditKind == TRepositoryItem::Spin)
            e->setValidator(new QRegularExpressionValidator(
                QRegularExpression(FItem.Min < 0 ? QStringLiteral("-?[0-9]*") : QStringLiteral("[0-9]*")), e));
        else if (FItem.EditKind == TRepositoryItem::Mask)
            e->setValidator(new QRegularExpressionValidator(QRegularExpression(FItem.Pattern), e));
        e->installEventFilter(const_cast<TRepositoryDelegate *>(this));
        return e;
    }
    }
}

void TRepositoryDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const QVariant v = index.data(Qt::EditRole);
    if (auto *c = qobject_cast<QComboBox *>(editor)) {
        int at = -1;
        for (int i = 0; i < c->count(); ++i)
            if (sameValue(c->itemData(i), v))
                at = i;
        c->setCurrentIndex(at);
    } else if (auto *d = qobject_cast<QDateTimeEdit *>(editor)) {
        if (FItem.EditKind == TRepositoryItem::Date)
            d->setDate(v.isNull() ? QDate::currentDate() : v.toDate());
        else
            d->setDateTime(v.isNull() ? QDateTime::currentDateTime() : v.toDateTime());
    } else if (auto *e = qobject_cast<QLineEdit *>(editor)) {
        e->setText(v.isNull() ? QString() : FItem.EditKind == TRepositoryItem::Spin ? QString::number(v.toLongLong()) : v.toString());
    }
}

void TRepositoryDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                       const QModelIndex &index) const
{
    if (auto *c = qobject_cast<QComboBox *>(editor)) {
        if (c->currentIndex() >= 0)
            model->setData(index, c->currentData(), Qt::EditRole);
    } else if (auto *d = qobject_cast<QDateTimeEdit *>(editor)) {
        if (d->property("scCleared").toBool())
            model->setData(index, QVariant(), Qt::EditRole);
        else if (FItem.EditKind == TRepositoryItem::Date)
            model->setData(index, d->date(), Qt::EditRole);
        else
            model->setData(index, d->dateTime(), Qt::EditRole);
    } else if (auto *e = qobject_cast<QLineEdit *>(editor)) {
        bool ok = false;
        const QVariant v = GridResources::ValueFromText(FItem, e->text(), &ok);
        if (ok)
            model->setData(index, v, Qt::EditRole);
    }
}

bool TRepositoryDelegate::editorEvent(QEvent *event, QAbstractItemModel *model,
                                      const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (FItem.EditKind == TRepositoryItem::Check && (index.flags() & Qt::ItemIsEditable)) {
        bool toggle = false;
        if (event->type() == QEvent::MouseButtonRelease)
            toggle = option.rect.contains(static_cast<QMouseEvent *>(event)->position().toPoint());
        else if (event->type() == QEvent::KeyPress)
            toggle = static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space;
        if (toggle) {
            const QVariant v = index.data(Qt::EditRole);
            model->setData(index, (!v.isNull() && v.toInt() != 0) ? 0 : 1, Qt::EditRole);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

bool TRepositoryDelegate::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() == QEvent::Wheel)
        return true; // never changes a value
    if (event->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(event);
        if (FItem.EditKind == TRepositoryItem::Spin) {
            auto *e = qobject_cast<QLineEdit *>(object);
            if (e && (ke->key() == Qt::Key_Up || ke->key() == Qt::Key_Down)) {
                if (ke->modifiers() & Qt::ControlModifier) {
                    bool ok = false;
                    qint64 v = e->text().toLongLong(&ok);
                    if (!ok)
                        v = ke->key() == Qt::Key_Up ? FItem.Min - 1 : FItem.Min + 1;
                    v += ke->key() == Qt::Key_Up ? 1 : -1;
                    e->setText(QString::number(qBound(FItem.Min, v, FItem.Max)));
                    return true;
                }
                // plain arrows: leave the cell, the grid moves
                emit commitData(e);
                emit closeEditor(e, ke->key() == Qt::Key_Up ? QAbstractItemDelegate::EditPreviousItem
                                                             : QAbstractItemDelegate::EditNextItem);
                return true;
            }
            if (e && ke->key() == Qt::Key_Delete && FItem.ClearOnDelete) {
                e->clear();
                return true;
            }
        }
        if (auto *d = qobject_cast<QDateTimeEdit *>(object)) {
            if (ke->key() == Qt::Key_Delete) {
                d->setProperty("scCleared", true);
                emit commitData(d);
                emit closeEditor(d);
                return true;
            }
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
