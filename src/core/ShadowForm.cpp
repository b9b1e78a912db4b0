#include "core/ShadowForm.h"

#include <QEvent>
#include <QPainter>

TFormShadow::TFormShadow(QWidget *AForm) : QWidget(AForm), FForm(AForm)
{
    setObjectName("FormShadow");
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ForbiddenCursor);
    hide();
    if (AForm)
        AForm->installEventFilter(this);
}

void TFormShadow::UpdateShadow()
{
    if (!FForm)
        return;
    if (FForm->isMinimized()) {
        FRegion = QRegion();
        hide();
        return;
    }
    const QRect client = FForm->rect();
    QRegion region(client);
    const QList<QWidget *> children = FForm->findChildren<QWidget *>();
    for (QWidget *w : children) {
        if (w == this || w->property("Tag").toInt() != 1000 || !w->isVisibleTo(FForm))
            continue;
        region -= QRect(w->mapTo(FForm.data(), QPoint(0, 0)), w->size());
    }
    FRegion = region;
    setGeometry(client);
    setMask(region.isEmpty() ? QRegion(0, 0, 1, 1) : region);
    raise();
    if (isVisible())
        update();
    else
        show();
}

void TFormShadow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setClipRegion(FRegion);
    p.fillRect(rect(), ShadeColour());
}

bool TFormShadow::eventFilter(QObject *obj, QEvent *e)
{
    if (obj == FForm && isVisible()
        && (e->type() == QEvent::Resize || e->type() == QEvent::WindowStateChange))
        UpdateShadow();
    return QWidget::eventFilter(obj, e);
}
