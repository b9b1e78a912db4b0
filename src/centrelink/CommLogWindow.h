#pragma once
// The frame both communication log windows share: a tool window that stays on top
// (check box chxAlwayOnTop), the read-only memo mmLog and the buttons Close, Clear
// and Copy. Lines, packet dumps and title blocks are written only in admin mode
// (TDM.G_ADMIN_MODE, taken at creation; SetAdminMode for tests).

#include <QWidget>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class TsiLangLinked;

class TCommLogWindow : public QWidget
{
    Q_OBJECT
public:
    TCommLogWindow(QWidget *owner, const QString &langTable);

    bool AdminMode() const { return FAdminMode; }
    void SetAdminMode(bool on) { FAdminMode = on; }
    // The memo's lines (also for tests).
    QStringList Lines() const;
    int LineCount() const;

    QPlainTextEdit *mmLog = nullptr;
    QPushButton *btnClose = nullptr;
    QPushButton *btnClear = nullptr;
    QPushButton *btnCopy = nullptr;
    QCheckBox *chxAlwayOnTop = nullptr;

public slots:
    void btnClearClick();
    void btnCopyClick();
    void btnCloseClick();
    void chxAlwayOnTopClick();

protected:
    TsiLangLinked *FLang = nullptr;
    bool FAdminMode = false;
};
