#include "core/untProgressBar.h"

#include <QProgressBar>
#include <QShowEvent>
#include <QVBoxLayout>

TfrmProgressBar::TfrmProgressBar(QWidget *owner) : QDialog(owner)
{
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint);
    setFixedSize(294, 39);
    auto *l = new QVBoxLayout(this);
    l->setContentsMargins(5, 5, 5, 5);
    FBar = new QProgressBar(this);
    FBar->setObjectName("ProgressBar");
    FBar->setTextVisible(false);
    l->addWidget(FBar);
    InitProgress(QString(), pbstNormal, 0, 100, 1);
}

void TfrmProgressBar::InitProgress(const QString &Msg, TProgressBarStyle Style, int Min, int Max, int Step)
{
    setWindowTitle(Msg);
    if (Style == pbstMarquee)
        FBar->setRange(0, 0); // busy indicator
    else
        FBar->setRange(Min, Max);
    FBar->setValue(Min);
    FBar->setProperty("scMin", Min);
    FBar->setProperty("scMax", Max);
    FStep = Step;
}

void TfrmProgressBar::ProgressStep()
{
    const int min = FBar->property("scMin").toInt();
    const int max = FBar->property("scMax").toInt();
    if (FBar->maximum() != 0 || FBar->minimum() != 0) {
        int v = FBar->value() + FStep;
        if (v > max)
            v = min;
        FBar->setValue(v);
    }
    FBar->repaint();
}

void TfrmProgressBar::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (QWidget *o = parentWidget()) {
        QRect g = frameGeometry();
        g.moveCenter(o->window()->frameGeometry().center());
        move(g.topLeft());
    }
}
