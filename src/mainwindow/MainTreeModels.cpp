#include "mainwindow/MainTreeModels.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

TNodeTreeModel::TNodeTreeModel(QObject *parent) : QStandardItemModel(parent) {}

void TNodeTreeModel::ClearNodes()
{
    clear();
    FKeys.clear();
    FNodeCount = 0;
}

QStandardItem *TNodeTreeModel::AddNode(QStandardItem *parent, const TNodeData &data, bool checkable, bool autoTriState)
{
    auto *item = new QStandardItem(NodeText(data));
    item->setEditable(false);
    item->setData(QVariant::fromValue(data), NodeDataRole);
    item->setIcon(TreeImage(ImageIndex(data)));
    if (checkable) {
        item->setCheckable(true);
        item->setCheckState(Qt::Unchecked);
        if (autoTriState)
            item->setAutoTristate(true);
    }
    if (parent)
        parent->appendRow(item);
    else
        appendRow(item);
    ++FNodeCount;
    if (!FKeys.contains(data.Key))
        FKeys.insert(data.Key, QPersistentModelIndex(item->index()));
    return item;
}

void TNodeTreeModel::BuildSaTree(const QList<MainLists::TTreeRow> &rows)
{
    ClearNodes();
    QStandardItem *group = nullptr;
    int groupId = 0;
    for (const MainLists::TTreeRow &r : rows) {
        if (!group || r.Group.ID != groupId) {
            group = AddNode(nullptr, r.Group, true, true);
            groupId = r.Group.ID;
        }
        AddNode(group, r.Lc, true, false);
    }
}

void TNodeTreeModel::BuildLcTree(const QList<TNodeData> &nodes)
{
    ClearNodes();
    for (const TNodeData &d : nodes)
        AddNode(nullptr, d, false, false);
}

QModelIndex TNodeTreeModel::FindByKey(const QString &key) const
{
    const auto it = FKeys.constFind(key);
    return it == FKeys.cend() ? QModelIndex() : QModelIndex(it.value());
}

TNodeData TNodeTreeModel::Data(const QModelIndex &index)
{
    return index.data(NodeDataRole).value<TNodeData>();
}

bool TNodeTreeModel::HasData(const QModelIndex &index)
{
    return index.isValid() && index.data(NodeDataRole).isValid();
}

QString TNodeTreeModel::NodeText(const TNodeData &data)
{
    return QStringLiteral("%1 %2").arg(data.ID, 4, 10, QLatin1Char('0')).arg(data.Name.str());
}

int TNodeTreeModel::ImageIndex(const TNodeData &data) { return data.TreeType == 0 ? 0 : data.Flag + 1; }

QIcon TreeImage(int index)
{
    static QHash<int, QIcon> cache;
    const auto it = cache.constFind(index);
    if (it != cache.cend())
        return it.value();
    // Group, then MI, CI, SCI, RAMP and further classes.
    static const QColor colours[] = {QColor(0x2f, 0x6d, 0xb5), QColor(0x2e, 0x9e, 0x44), QColor(0xe0, 0x8a, 0x1e),
                                     QColor(0x8e, 0x44, 0xad), QColor(0xc0, 0x39, 0x2b), QColor(0x7f, 0x8c, 0x8d)};
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor c = colours[qBound(0, index, int(std::size(colours)) - 1)];
        p.setBrush(c);
        p.setPen(c.darker());
        if (index == 0)
            p.drawRect(2, 3, 12, 10);
        else
            p.drawEllipse(2, 2, 12, 12);
    }
    QIcon icon(pm);
    cache.insert(index, icon);
    return icon;
}

bool PopupItemVisible(int tag, bool enabled, int kind)
{
    int lo = 1, hi = 1000;
    switch (kind) {
    case pkGroupNode: lo = 999; hi = 1000; break;
    case pkTreeLc: lo = 1; hi = 1000; break;
    case pkMapLc: lo = 1; hi = 999; break;
    default: return false;
    }
    return enabled && tag >= lo && tag <= hi;
}

void SetPopupMenuItems(QMenu *menu, int kind)
{
    if (!menu)
        return;
    // A hidden action reads as disabled: show every item first so that isEnabled()
    // gives the item's own state again.
    for (QAction *a : menu->actions())
        a->setVisible(true);
    for (QAction *a : menu->actions()) {
        const int tag = a->property("tag").toInt();
        a->setVisible(PopupItemVisible(tag, a->isEnabled(), kind));
    }
}

QString PopupCaption(const QString &intWord, int id, int treeType)
{
    return QStringLiteral("%1 : #%2 (%3)").arg(intWord).arg(id, 3, 10, QLatin1Char('0')).arg(treeType);
}
