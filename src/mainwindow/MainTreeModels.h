#pragma once
// The group tree (groups with their intersections) and the intersection tree of the
// main window: item models carrying TNodeData, the node texts and images, the look-up
// of a node by its key, and the visibility rule of the intersection pop-up menu.
#include <QHash>
#include <QIcon>
#include <QList>
#include <QPersistentModelIndex>
#include <QStandardItemModel>
#include <QString>

#include "mainwindow/MainListsUnit.h"
#include "foundation/TypeUnit.h"

class QMenu;

// The role that carries a node's TNodeData.
constexpr int NodeDataRole = Qt::UserRole + 1;

class TNodeTreeModel : public QStandardItemModel
{
    Q_OBJECT
public:
    explicit TNodeTreeModel(QObject *parent = nullptr);

    // Empties the tree.
    void ClearNodes();
    // A node under `parent` (null: a root node). Group nodes get a tri-state check box,
    // the intersection nodes of the group tree a check box.
    QStandardItem *AddNode(QStandardItem *parent, const TNodeData &data, bool checkable, bool autoTriState);

    // The group tree: one root per group and its intersections as children, in the
    // order of the rows (a group's root is added by its first row).
    void BuildSaTree(const QList<MainLists::TTreeRow> &rows);
    // The intersection tree: one root node per intersection.
    void BuildLcTree(const QList<TNodeData> &nodes);

    // The first node (in tree order) whose key is exactly `key`; invalid when none.
    QModelIndex FindByKey(const QString &key) const;
    int NodeCount() const { return FNodeCount; }

    static TNodeData Data(const QModelIndex &index);
    static bool HasData(const QModelIndex &index);
    // "%.4d %s": the number with at least four digits, a space and the name.
    static QString NodeText(const TNodeData &data);
    // Image of a node: 0 for a group node, Flag + 1 for an intersection node.
    static int ImageIndex(const TNodeData &data);

private:
    QHash<QString, QPersistentModelIndex> FKeys;
    int FNodeCount = 0;
};

// The main window's small image list (imlUTC): image 0 groups, 1.. intersection classes.
QIcon TreeImage(int index);

// Pop-up menu kinds: 0 a group node (items tagged 999 to 1000), 1 an intersection in
// a tree (1 to 1000), 2 an intersection on the map (1 to 999).
enum TPopupKind { pkGroupNode = 0, pkTreeLc = 1, pkMapLc = 2 };
bool PopupItemVisible(int tag, bool enabled, int kind);
// Sets every item of the menu visible exactly when it is enabled and its tag (the
// action property "tag") lies in the kind's range.
void SetPopupMenuItems(QMenu *menu, int kind);
// Title item of the pop-up: "%s : #%.*d (%d)" with the intersection word, the number
// with at least three digits and the controller type.
QString PopupCaption(const QString &intWord, int id, int treeType);
