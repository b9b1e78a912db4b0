#pragma once
// The group control window: sends the group operating mode, the group TOD/TRC mode
// and the group manual control (cycle, split, offset) to every checked group, one
// after the other, shows each outcome in its result list and writes one operator
// event per group. The commands are built, sent and judged by TSaCommandRunner.
//
// Modeless, one instance (the main window's opener). A close asked for while a run
// is going waits until the run has ended.

#include "control/ControlRunWindow.h"
#include "control/SaCommandUnit.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;
class TRadioGroup;
class TsiLangLinked;
class TProgressBarThread;

class TfrmSA_C_Control : public TControlRunWindow
{
    Q_OBJECT
public:
    explicit TfrmSA_C_Control(QWidget *owner = nullptr);
    ~TfrmSA_C_Control() override;

    int SaID() const { return FSaID; }
    void SetSaID(int value) { FSaID = value; }
    TSaCommandRunner &Runner() { return FRunner; }

    void LoadSaTree();
    QTreeWidgetItem *MatchSaNodeId(int saNo) const;
    void FindSaId(int saNo);
    QList<int> CheckedSaIds() const;
    void ExecuteSaCommand(quint8 opcode, const QString &title);

    QTreeWidget *VST = nullptr;
    QLineEdit *edtSA = nullptr;
    QPushButton *btnSA = nullptr;
    QLabel *lblSA = nullptr;
    QLabel *pnlSelNodeDesc = nullptr;
    TRadioGroup *grpSaOpr = nullptr;
    TRadioGroup *grpSaTodTrc = nullptr;
    QGroupBox *grpSaMan = nullptr;
    QSpinBox *edtCycleNo = nullptr;
    QSpinBox *edtPhaseNo = nullptr;
    QSpinBox *edtOffsetNo = nullptr;
    QPushButton *btnClose = nullptr;

    QAction *actSaOpr = nullptr;
    QAction *actSaTodTrc = nullptr;
    QAction *actSaMan = nullptr;
    QAction *actSelAllNode = nullptr;
    QAction *actUnselAllNode = nullptr;
    QAction *actClose = nullptr;

signals:
    // Select a group in the main window (WM_USER+100).
    void RequestSelectSA(int saNo);

public slots:
    void actSaOprExecute();
    void actSaTodTrcExecute();
    void actSaManExecute();
    void actSelAllNodeExecute();
    void actUnselAllNodeExecute();
    void actCloseExecute();
    void DoingUpdate() override;

protected:
    void showEvent(QShowEvent *e) override;

private:
    void BuildUi();
    void Retranslate();
    void AddSaResultLine(const QString &line);
    void CheckAll(bool checked);
    void btnSAClick();
    QString T(const QString &key) const override;

    TSaCommandRunner FRunner;
    TsiLangLinked *FLang = nullptr;
    int FSaID = 0;
    bool FShownOnce = false;
    bool FSettingChecks = false;
};
