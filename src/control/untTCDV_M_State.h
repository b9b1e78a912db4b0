#pragma once
// The intersection state list: one row per intersection of the live state set,
// filtered by operation mode and controller state, refreshed after every state image
// while "실시간 조회" is ticked (or on "조회"), exported to a workbook.
#include <QWidget>

#include <memory>

#include "control/LiveViewUnit.h"
#include "core/MainContracts.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;
class TsiLangLinked;

class TfrmTCDV_M_State : public QWidget, public IMonitorView
{
    Q_OBJECT
public:
    TfrmTCDV_M_State(QWidget *owner, IMainWindow *main, const TLC_INFO_SET *set);

    // Rebuilds the list from the latest image and live state set.
    void RefreshOprState();
    // The filters back to "전체 운영 교차로" with no state item.
    void InitControls();
    // The filters a status counter hands over: reset, one item set, refreshed.
    void ApplyCounterFilter(const TStateListFilter &filter);
    StateList::TFilter Filter() const;
    void SetModeItem(int item);
    void SetStateItem(int item, bool checked);
    // The export as the operator starts it ("파일저장"); true when written.
    bool ExportToExcel();

    void RefreshFromImage(const TMonitorRefresh &r) override;
    bool WantsRefresh() const override;

    QGroupBox *grpOprSt = nullptr;
    QGroupBox *grpOpr = nullptr;
    QCheckBox *chxDsplRealTime = nullptr;
    QPushButton *btnSearch = nullptr;
    QPushButton *btnClose = nullptr;
    QPushButton *btnFile = nullptr;
    QTableWidget *gtvLCList = nullptr;
    QLabel *spStatus = nullptr;

signals:
    void RequestPanToTCDV(int lcNo);

protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    void Retranslate();
    void ShowRows(const QList<QStringList> &rows);

    IMainWindow *FMain;
    const TLC_INFO_SET *FLcInfoSet;
    TStateImageRef FImage;
    QDateTime FPacketTime;
    qint32 m_MntrPacketSeconds = 0;
    int FGridColumnWidth = 0;
    QButtonGroup *FModes = nullptr;
    QList<QRadioButton *> FModeButtons;
    QList<QCheckBox *> FStateBoxes;
    TsiLangLinked *FLang = nullptr;
};
