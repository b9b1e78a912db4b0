#pragma once
// The panels laid over a window while it runs a batch: TAllExecutorPanel lists one
// row (TItemPanel) per request of an all-run of the controller database window;
// TAllExecutorProgress is its small sibling with one bar counted in parts. Both
// carry Tag 1000, which the window's shadow leaves uncovered. Their button asks the
// owner to stop (cancelRequested, message 2026, only while the run goes on) and to
// end the display (closeRequested, message 2027); the owner connects both directly,
// so they are handled before the click returns.
#include <QFrame>
#include <QList>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

class TItemPanel : public QFrame
{
    Q_OBJECT
public:
    TItemPanel(QWidget *AOwner, int AHeight, const QString &ACaption, bool AShowProgressBar);
    QProgressBar *ProgressBar() const { return FProgressBar; }
    QLabel *Caption() const { return FCaption; }
    int ResultImageIndex() const { return FResultImageIndex; }
    // 1 running, 2 success, 3 failure.
    void SetResultImageIndex(int Value);

private:
    QLabel *FCaption = nullptr;
    QProgressBar *FProgressBar = nullptr;
    QLabel *FImage = nullptr;
    int FResultImageIndex = 0;
};

class TAllExecutorPanel : public QFrame
{
    Q_OBJECT
public:
    TAllExecutorPanel(QWidget *AOwner, const QString &ATitle, int AWidth, int AHeight, bool &IsDoing);

    void AddContainer(const QString &ACaption);
    TItemPanel *GetItem() const { return FStack.isEmpty() ? nullptr : FStack.last(); }
    QList<TItemPanel *> Items() const { return FStack; }
    void ClearItem();
    void Realign();

    QString Title() const;
    void SetTitle(const QString &Value);
    bool IsAvailableClose() const { return FAvailableClose; }
    void SetIsAvailableClose(bool Value);
    int FailCount() const { return FFailCount; }
    void SetFailCount(int Value);
    QString BottomText() const;
    QString ButtonCaption() const;
    QPushButton *CancelButton() const { return FBtnCancel; }

    // 1 download, 2 upload, 3 DB save, 4 verify.
    quint8 FActionType = 0;
    // The panel's own caption; the done text of saves and verifications is built
    // from it (the run's button caption).
    QString PanelCaption;

signals:
    void cancelRequested(); // 2026
    void closeRequested();  // 2027

private:
    void BtnCancelClick();

    QLabel *FPnlTitle = nullptr;
    QLabel *FBottomText = nullptr;
    QPushButton *FBtnCancel = nullptr;
    QScrollArea *FScrollBox = nullptr;
    QWidget *FContainer = nullptr;
    QVBoxLayout *FContainerLayout = nullptr;
    QList<TItemPanel *> FStack;
    bool FAvailableClose = false;
    int FFailCount = 0;
};

class TAllExecutorProgress : public QFrame
{
    Q_OBJECT
public:
    TAllExecutorProgress(QWidget *AOwner, const QString &ATitle, int AWidth, int ATotalParts, bool &IsDoing);

    void Init(const QString &ATitle, int ATotalParts);
    void IncPartsByOne();
    void Realign();
    QString Title() const;
    void SetTitle(const QString &Value);
    bool IsAvailableClose() const { return FAvailableClose; }
    void SetIsAvailableClose(bool Value);
    QProgressBar *ProgressBar() const { return FProgressBar; }
    QPushButton *CancelButton() const { return FBtnCancel; }

signals:
    void closeRequested(); // 2027

private:
    QLabel *FPnlTitle = nullptr;
    QWidget *FPnlContainer = nullptr;
    QProgressBar *FProgressBar = nullptr;
    QPushButton *FBtnCancel = nullptr;
    bool FAvailableClose = false;
};
