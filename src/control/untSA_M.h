#pragma once
// The group monitor: the state items and plan numbers of one group from its record in
// the state image, and one row per member intersection with its live status. The
// monitoring cycle rewrites every value after each state image (UpdateSAMotInfo).
#include <QWidget>

#include "control/LiveViewUnit.h"
#include "core/MainContracts.h"

class QTableWidget;
class TsiLangLinked;

class TfrmSA_M : public QWidget, public IMonitorView
{
    Q_OBJECT
    Q_PROPERTY(int SA_ID READ SA_ID WRITE SetSA_ID)
public:
    TfrmSA_M(QWidget *owner, IMainWindow *main, const TLC_INFO_SET *set);

    int SA_ID() const { return FSA_ID; }
    // Stores the group and reloads its member list.
    void SetSA_ID(int sa);
    // Members of the group from SCS_M_INTLC (an error or no row empties the list).
    void LoadLcList();
    // Fills the member list with (number, name) rows.
    void FillLcList(const QList<QPair<int, QString>> &members);
    // Rewrites all values from a state image (groups 1 to 200 only).
    void UpdateSAMotInfo(const TST_VESK_STATE &image, const QDateTime &packetTime);

    void RefreshFromImage(const TMonitorRefresh &r) override;
    void SetTargetGroup(int saNo) override { SetSA_ID(saNo); }

    QTableWidget *gtvGroupM = nullptr;
    QTableWidget *gtvGroupD = nullptr;
    QTableWidget *gtvLCList = nullptr;
    qint32 m_MntrPacketSeconds = 0;
    qint32 m_MntrPacketMicroseconds = 0;

signals:
    void RequestPanToTCDV(int lcNo);

private:
    void Retranslate();
    void SetCell(QTableWidget *grid, int row, int column, const QString &text);
    void RowDblClick(QTableWidget *grid, int row);

    IMainWindow *FMain;
    const TLC_INFO_SET *FLcInfoSet;
    int FSA_ID = 0;
    TsiLangLinked *FLang = nullptr;
};
