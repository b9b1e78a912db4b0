#pragma once
// Small widgets of the control windows: a radio group (a titled box of exclusive
// choices read by item index) and the wait that keeps the window serving events.

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QStringList>

class QAction;
class QBoxLayout;
class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

class TRadioGroup : public QGroupBox
{
    Q_OBJECT
public:
    // columns: number of choices per row (1 = one below the other).
    explicit TRadioGroup(QWidget *parent = nullptr, int columns = 1);

    // Replaces the captions; the number of items follows the list. The chosen
    // index stays when it still exists.
    void SetItems(const QStringList &items);
    QStringList Items() const;
    int Count() const { return int(FButtons.size()); }
    // -1 when nothing is chosen.
    int ItemIndex() const;
    void SetItemIndex(int index);
    QString ItemText(int index) const;
    QString CurrentText() const { return ItemText(ItemIndex()); }
    QRadioButton *Button(int index) const;

signals:
    void itemIndexChanged(int index);

private:
    QButtonGroup *FGroup;
    QList<QRadioButton *> FButtons;
    int FColumns;
};

// Waits `ms` milliseconds while serving the event loop (the pause between commands).
void ControlPause(int ms);

// The named widgets the control windows are built of.
// A push button ("btn_" + the action's name) that triggers `action` and follows its
// text and enabled state.
QPushButton *ControlActionButton(QAction *action, QWidget *parent);
QSpinBox *ControlSpin(QWidget *parent, const char *name, int lo, int hi, int value);
QCheckBox *ControlCheck(QWidget *parent, const char *name);
QLabel *ControlLabel(QWidget *parent, const char *name);

// Adds one line to a window's result list, shows it and lets the window repaint.
void AppendResultLine(QListWidget *list, const QString &line);
