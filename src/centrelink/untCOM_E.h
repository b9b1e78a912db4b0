#pragma once
// The communication settings dialog: the centre server's address, control and
// monitoring ports, the monitoring and reconnection periods (whole seconds), the
// visual theme and the intersection-monitor option. OK copies what differs into
// the settings and, when anything changed, writes the seven COM-ENV keys and closes
// with OK; when nothing changed the dialog stays open. Periods are compared in
// whole seconds, so a period that is not a whole number of seconds (1500 ms) is
// kept when its field is left as shown.

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TsiLangLinked;

// The values the dialog edits, in the data module's units (milliseconds).
struct TComEnvSettings
{
    QString G_HOST;
    int G_RC_CTRL_PORT = 12000;
    int G_RC_MNTR_PORT = 12000;
    int G_RC_MNTR_PERIOD = 1000;       // ms
    int G_RC_MNTR_RETRYPERIOD = 10000; // ms
    QString G_THEME_NAME = QStringLiteral("Windows");
    int G_LC_MNTR_OPTION = 1;          // 0 single window, 1 several
    bool G_SERVER_BIGENDIAN = false;   // shown only

    static TComEnvSettings FromDM();
    void ToDM() const;
    // The seven keys of section COM-ENV; periods in whole seconds (truncated).
    bool WriteIni(const QString &iniFile) const;
};

class TfrmCOM_E : public QDialog
{
    Q_OBJECT
public:
    // Edits the data module's settings and writes its INI file.
    explicit TfrmCOM_E(QWidget *owner = nullptr);
    // Edits the given settings and writes the given INI file (tests).
    TfrmCOM_E(const TComEnvSettings &settings, const QString &iniFile, QWidget *owner = nullptr);

    const TComEnvSettings &Settings() const { return FSettings; }
    // The OK step: true when something changed (then the keys were written).
    bool ApplyChanges();
    void LoadValues();

    QLineEdit *ipaRCIP = nullptr;
    QSpinBox *edtCtrlPort = nullptr;
    QSpinBox *edtMntrPort = nullptr;
    QSpinBox *edtMntrPeriod = nullptr;
    QSpinBox *edtMntrRetryPeriod = nullptr;
    QLineEdit *txtRCSystem = nullptr;
    QComboBox *cbxStyleList = nullptr;
    QPushButton *btnPreview = nullptr;
    QGroupBox *grpLCMoniteringOption = nullptr;
    QRadioButton *rbSingle = nullptr;
    QRadioButton *rbMulti = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
    QPushButton *btnClose = nullptr;

public slots:
    void btnOKClick();
    void btnCancelClick();
    void btnCloseClick();
    void btnPreviewClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Build();
    int LcOptionIndex() const;
    QString AppTitle() const;
    QString CommLogFormatServer() const;

    TComEnvSettings FSettings;
    QString FIniFile;
    bool FBoundToDM = false;
    TsiLangLinked *FLang = nullptr;
    QButtonGroup *FOptionGroup = nullptr;
};
