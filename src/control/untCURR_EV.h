#pragma once
// The current-event window: after every monitoring cycle the new state image is
// compared with the one before, and every changed group or intersection field becomes
// a row (newest on top). Chosen events also go to the page "이벤트 선택 표출", and
// events may pop the window up and play res/notify.wav. Created hidden with the main
// window; the settings live in INI section EVENT.
#include <QWidget>

#include "control/EventCompareUnit.h"
#include "core/MainContracts.h"

class QButtonGroup;
class QCheckBox;
class QPushButton;
class QSoundEffect;
class QTabWidget;
class QTableWidget;
class TsiLangLinked;

class TfrmCURR_EV : public QWidget, public IMonitorView
{
    Q_OBJECT
public:
    // iniFile: the settings file (empty: the data module's).
    TfrmCURR_EV(QWidget *owner, IMainWindow *main, const QString &iniFile = QString());
    ~TfrmCURR_EV() override;

    // One image of the monitoring cycle (also after a failed cycle).
    void UpdateEvnts(const TST_VESK_STATE &image, const TLC_INFO_SET *set, const QDateTime &packetTime);
    // What the comparison reads besides the images (tests give it directly).
    void SetContext(const QMap<int, QString> &saNames, const QList<int> &saOutlined, const QList<int> &lcList);
    void AddSaEvent(const CurrentEvents::TEventRow &row);
    void AddLcEvent(const CurrentEvents::TEventRow &row, const TLC_INFO_SET *set);

    CurrentEvents::TEventSettings Settings() const;
    void SetSettings(const CurrentEvents::TEventSettings &s);
    void ReadSettings();
    void WriteSettings();
    // Plays the event sound; false when the file is missing (nothing plays).
    bool PlayEventSound();
    void SetSoundFile(const QString &file) { FSoundFile = file; }
    int SoundsStarted() const { return FSoundsStarted; }
    // "이력 삭제": empties the grid of the active page.
    void btnClearClick();

    const CurrentEvents::TEventList &List(int page) const;
    QTableWidget *Grid(int page) const;

    void RefreshFromImage(const TMonitorRefresh &r) override;

    QTabWidget *pctrlEvnt = nullptr;
    QTableWidget *gtvTCDV = nullptr;
    QTableWidget *gtvSA = nullptr;
    QTableWidget *gtvTCDV2 = nullptr;
    QCheckBox *chxFowerFail = nullptr;
    QCheckBox *chxConnectionFail = nullptr;
    QCheckBox *chxFlashReasion4 = nullptr;
    QCheckBox *chxFlashReasion5 = nullptr;
    QButtonGroup *rgbtnPopupWin = nullptr;
    QButtonGroup *rgbtnPlaySnd = nullptr;
    QCheckBox *chxSAPopupWin = nullptr;
    QCheckBox *chxSAPlaySnd = nullptr;
    QCheckBox *chxGoLastRow = nullptr;
    QCheckBox *chxAlwayOnTop = nullptr;
    QPushButton *btnClear = nullptr;

signals:
    void RequestPanToTCDV(int lcNo);
    void RequestSelectSA(int saNo);

private:
    void Retranslate();
    void InsertRow(QTableWidget *grid, CurrentEvents::TEventList &list, const CurrentEvents::TEventRow &row,
                   bool coloured);
    void MoveFocus(QTableWidget *grid);
    void Apply(const CurrentEvents::TEventEffect &e);
    void UpdateClearButton();

    IMainWindow *FMain;
    QString FIniFile;
    QString FSoundFile;
    int FSoundsStarted = 0;
    QSoundEffect *FSound = nullptr;
    CurrentEvents::TEventTracker FTracker;
    CurrentEvents::TEventList FLists[4];
    QMap<int, QString> FSaNames;
    QList<int> FSaOutlined, FLcList;
    bool FOwnContext = false;
    TsiLangLinked *FLang = nullptr;
    QList<QWidget *> FOptionButtons;
};
