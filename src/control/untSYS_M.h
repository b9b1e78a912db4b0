#pragma once
// The whole-system monitor: every intersection of the system as a tile in a grid of
// 32 columns, coloured by its operating state, shaped by its class, with the conflict
// detection band under it; flashing tiles blink with every monitor packet. The tiles
// read the main window's live state set when they are painted; nothing is queried
// per packet.
#include <QStyledItemDelegate>
#include <QWidget>

#include "control/LiveViewUnit.h"
#include "core/MainContracts.h"

class QLabel;
class QPushButton;
class QTableWidget;
class TsiLangLinked;

// A legend swatch: a rectangle (shpCI) or an ellipse in a colour.
class TLegendSwatch : public QWidget
{
    Q_OBJECT
public:
    TLegendSwatch(const QString &name, const QColor &colour, QWidget *parent = nullptr);
    QColor Colour() const { return FColour; }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QColor FColour;
};

class TfrmSYS_M : public QWidget, public IMonitorView
{
    Q_OBJECT
public:
    // set: the main window's live state set (not owned); colours: the legend's.
    TfrmSYS_M(QWidget *owner, IMainWindow *main, const TLC_INFO_SET *set,
              const TLcStatusColors &colours = TLcStatusColors::Defaults());

    // Fills the grid from SCS_M_INTLC (40 empty rows without a row or after an error).
    void LoadLcGrid();
    // Fills the grid with these numbers in ascending order.
    void FillGrid(const QList<int> &numbers);
    // After every monitor packet: flips the blink phase and repaints the grid.
    void RepaintCells();
    bool FlashDraw() const { return FFlashDraw; }
    // The intersection of a cell (0 for an empty one) and how its tile is drawn now.
    int CellNumber(int row, int column) const;
    SysMonitor::TTileLook CellLook(int row, int column) const;
    QString CellHint(int row, int column) const;
    // The focused cell's intersection into the information panel.
    void ShowLcInfo();
    // Pans the main map to the focused cell's intersection.
    void btnMapMoveClick();
    const TLcStatusColors &Colours() const { return FColours; }

    void RefreshFromImage(const TMonitorRefresh &) override { RepaintCells(); }

    QTableWidget *gtvSysM = nullptr;
    QLabel *lblINTS_NAME = nullptr;
    QLabel *lblTCDV_Status = nullptr;
    QPushButton *btnMapMove = nullptr;

signals:
    void RequestPanToTCDV(int lcNo);

protected:
    void showEvent(QShowEvent *e) override;

private:
    void Retranslate();

    IMainWindow *FMain;
    const TLC_INFO_SET *FLcInfoSet;
    TLcStatusColors FColours;
    bool FFlashDraw = false;
    bool FLoaded = false;
    TsiLangLinked *FLang = nullptr;
    QList<QLabel *> FLegendLabels;
};

// Paints the tiles of the whole-system grid.
class TSysTileDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit TSysTileDelegate(TfrmSYS_M *form) : QStyledItemDelegate(form), FForm(form) {}
    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

private:
    TfrmSYS_M *FForm;
};
