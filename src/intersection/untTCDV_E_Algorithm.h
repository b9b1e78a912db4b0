#pragma once
// TfrmTCDV_E_Algorithm: the traffic-responsive parameters of one intersection: a
// panel of numbers and choices over SCS_M_INTALGORITHM and SCS_M_INTQUEUE and two
// direction grids, the link queues (SCS_M_INTLINKQUEUE) and the spill-back
// settings (SCS_M_INTSPILLBACK), each prepared with eight empty rows. One save
// writes all four tables in one transaction; a failed save rolls back and keeps
// every value and row state.
#include <QHash>

#include "core/GridView.h"
#include "core/untBase.h"
#include "foundation/TypeUnit.h"

class QAbstractButton;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class TfrmTCDV_E_Algorithm : public TfrmBase
{
    Q_OBJECT
public:
    explicit TfrmTCDV_E_Algorithm(QWidget *owner = nullptr);

    QLabel *lblTCDV = nullptr;
    QLineEdit *edtTCDV = nullptr;
    QLabel *lblTCDV_NAME = nullptr;
    QWidget *pnlClient = nullptr;
    QGroupBox *grpLinkQueue = nullptr;
    QGroupBox *grpSpillBack = nullptr;
    TGridView *gtvLinkQueue = nullptr;
    TGridView *gtvSpillBack = nullptr;
    QAction *actInit = nullptr;
    QAction *actLinkQueueDel = nullptr;
    QAction *actSpillBackDel = nullptr;

    int TCDV_ID() const { return FTCDV_ID; }
    void SetTCDV_ID(int Value);
    bool Searched() const { return FSearched; }
    bool ControlsEdited() const { return FContolsEdited; }
    bool LinkQueueEdited() const;
    bool SpillBackEdited() const;

    // The panel's value of a parameter column: the item index of a choice (-1 for
    // none) or the number.
    int PanelValue(const QString &column) const;
    void SetPanelValue(const QString &column, int value);
    // The input of a parameter (a QSpinBox, or the group box of a choice).
    QWidget *PanelInput(const QString &column) const;

    TGridModel *LinkQueueModel() const { return gtvLinkQueue->GridModel(); }
    TGridModel *SpillBackModel() const { return gtvSpillBack->GridModel(); }

    bool CanClose() override;

public slots:
    void actSearchExecute();
    void actInitExecute();
    // False when refused, invalid or failed.
    bool actSaveExecute();
    void UpdateActions();

protected:
    void Retranslate() override;

private:
    void LoadPanel();
    void LoadGrid(TGridView *view, const QString &sql);
    TRtnBoolStr ValidatePanel();
    TRtnBoolStr ValidateDirectionGrid(TGridView *view);
    void ClearPanel(bool disable);
    void PanelChanged();
    void PickTCDV();

    int FTCDV_ID = 0;
    bool FSearched = false;
    bool FContolsEdited = false;
    bool FLoading = false;
    QHash<QString, QSpinBox *> FNumbers;
    QHash<QString, QGroupBox *> FChoices;
    QList<QGroupBox *> FSections;
    QList<QLabel *> FParamLabels;
    QPushButton *btnSearch = nullptr, *btnInit = nullptr, *btnSave = nullptr, *btnClose = nullptr;
};
