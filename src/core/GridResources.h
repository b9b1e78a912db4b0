#pragma once
// Shared grid styles and cell editors (the data module's style and edit repositories):
// styles by name (stlReadOnly, stlEven ...), cell editors as delegates by the
// repository item's name (cxEditRepositorySpinItemPhase, eriImageComboBoxItemWeek ...).
// Every editor is centred unless its name says otherwise and shows an empty cell for
// NULL. Spin editors are line edits that take whole numbers in their range, step with
// Ctrl and the arrow keys (the plain arrows move in the grid) and ignore the mouse
// wheel; an emptied spin cell stores NULL.
#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QVariant>

struct TGridStyle
{
    QString Name;
    QColor Background; // invalid: none
    QColor Text;       // invalid: the default (black)
    bool Bold = false;
};

// One shared cell editor.
struct TRepositoryItem
{
    enum Kind { Spin, Text, Check, Mask, Currency, Date, DateTime, ImageCombo, MvmtPicture };
    QString Name;
    Kind EditKind = Text;
    Qt::Alignment Align = Qt::AlignCenter;
    qint64 Min = 0;
    qint64 Max = 0;
    bool HideZero = false;      // format "#.": 0 shows an empty cell
    bool ReadOnly = false;
    bool ClearOnDelete = false; // the Delete key empties the cell
    QString Pattern;            // Mask: regular expression the whole text must match
    QList<QPair<QVariant, QString>> Values; // ImageCombo: value and its text
};

namespace GridResources {

const TGridStyle *Style(const QString &name); // nullptr for an unknown name
QStringList StyleNames();
// The style's font: the language's family (Noto Sans CJK KR / DejaVu Sans), 8 points.
QFont StyleFont(const QString &name);

const TRepositoryItem *Item(const QString &name); // nullptr for an unknown name
QStringList ItemNames();
// A delegate for the item, or nullptr for an unknown name (fits TGridView's factory).
QAbstractItemDelegate *CreateDelegate(const QString &name, QObject *parent);
// The value list of a value-list item in the active language: each value's text of the
// language table [GridResources] ("<item>.<value>") where the language files hold one,
// else the item's own (Korean) text.
QList<QPair<QVariant, QString>> ItemValues(const TRepositoryItem &item);
// The text a cell of the item shows for a value (in the active language).
QString DisplayText(const TRepositoryItem &item, const QVariant &value);
// The value an editor's text stands for (NULL for an empty text); invalid QVariant with
// *ok = false when the text is not acceptable.
QVariant ValueFromText(const TRepositoryItem &item, const QString &text, bool *ok);
// The grid's text for an empty view ("데이터가 존재하지 않습니다." in Korean).
QString EmptyViewText();

} // namespace GridResources

class TRepositoryDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    TRepositoryDelegate(const TRepositoryItem &item, QObject *parent = nullptr);
    const TRepositoryItem &Item() const { return FItem; }

    QString displayText(const QVariant &value, const QLocale &locale) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    TRepositoryItem FItem;
};
