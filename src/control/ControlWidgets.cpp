#include "control/ControlWidgets.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

TRadioGroup::TRadioGroup(QWidget *parent, int columns)
    : QGroupBox(parent), FGroup(new QButtonGroup(this)), FColumns(qMax(1, columns))
{
    FGroup->setExclusive(true);
    new QGridLayout(this);
    connect(FGroup, &QButtonGroup::idClicked, this, [this](int id) { emit itemIndexChanged(id); });
}

void TRadioGroup::SetItems(const QStringList &items)
{
    const int keep = ItemIndex();
    auto *grid = static_cast<QGridLayout *>(layout());
    while (FButtons.size() > items.size()) {
        QRadioButton *b = FButtons.takeLast();
        FGroup->removeButton(b);
        delete b;
    }
    for (int i = 0; i < items.size(); ++i) {
        if (i >= FButtons.size()) {
            auto *b = new QRadioButton(this);
            b->setObjectName(objectName() + QStringLiteral("_%1").arg(i));
            FGroup->addButton(b, i);
            grid->addWidget(b, i / FColumns, i % FColumns);
            FButtons << b;
        }
        FButtons.at(i)->setText(items.at(i));
    }
    if (keep >= 0 && keep < FButtons.size())
        SetItemIndex(keep);
}

QStringList TRadioGroup::Items() const
{
    QStringList l;
    for (auto *b : FButtons)
        l << b->text();
    return l;
}

int TRadioGroup::ItemIndex() const { return FGroup->checkedId(); }

void TRadioGroup::SetItemIndex(int index)
{
    if (index >= 0 && index < FButtons.size()) {
        FButtons.at(index)->setChecked(true);
    } else if (QAbstractButton *b = FGroup->checkedButton()) {
        FGroup->setExclusive(false);
        b->setChecked(false);
        FGroup->setExclusive(true);
    }
}

QString TRadioGroup::ItemText(int index) const
{
    return (index >= 0 && index < FButtons.size()) ? FButtons.at(index)->text() : QString();
}

QRadioButton *TRadioGroup::Button(int index) const
{
    return (index >= 0 && index < FButtons.size()) ? FButtons.at(index) : nullptr;
}

void ControlPause(int ms)
{
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

QPushButton *ControlActionButton(QAction *action, QWidget *parent)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(QStringLiteral("btn_") + action->objectName());
    b->setText(action->text());
    QObject::connect(b, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, b, [b, action] {
        b->setText(action->text());
        b->setEnabled(action->isEnabled());
    });
    return b;
}

QSpinBox *ControlSpin(QWidget *parent, const char *name, int lo, int hi, int value)
{
    auto *s = new QSpinBox(parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(lo, hi);
    s->setValue(value);
    return s;
}

QCheckBox *ControlCheck(QWidget *parent, const char *name)
{
    auto *c = new QCheckBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    return c;
}

QLabel *ControlLabel(QWidget *parent, const char *name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

void AppendResultLine(QListWidget *list, const QString &line)
{
    list->addItem(QStringLiteral(" ") + line);
    list->scrollToBottom();
    QCoreApplication::processEvents();
}
