// Drawing helpers of the utility library.
#include "core/Quorval.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

// Unit vector of a compass angle (0 up, clockwise) in screen coordinates.
QPointF direction(double degrees)
{
    const double r = degrees * M_PI / 180.0;
    return QPointF(std::sin(r), -std::cos(r));
}

void arrowHead(QPainter *p, const QPointF &tip, const QPointF &from, double size, const QColor &c)
{
    QPointF d = tip - from;
    const double len = std::hypot(d.x(), d.y());
    if (len < 1e-6)
        return;
    d /= len;
    const QPointF n(-d.y(), d.x());
    QPolygonF head;
    head << tip << tip - d * size + n * size * 0.6 << tip - d * size - n * size * 0.6;
    p->setPen(Qt::NoPen);
    p->setBrush(c);
    p->drawPolygon(head);
}

} // namespace

void DrawSmoothMvmt(QPainter *painter, const QRect &rect, bool pedestrian, double headAngle,
                    double endAngle, const QColor &background, const QColor &arrowColour)
{
    if (!painter || rect.isEmpty())
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->fillRect(rect, background);

    const QRectF r = QRectF(rect).adjusted(2, 2, -2, -2);
    const QPointF c = r.center();
    const double radius = qMax(2.0, qMin(r.width(), r.height()) / 2.0);
    const double headSize = qMax(3.0, radius * 0.45);
    const double pen = qMax(1.5, radius * 0.18);

    if (!std::isfinite(headAngle))
        headAngle = 0;
    if (!std::isfinite(endAngle))
        endAngle = 0;

    if (pedestrian) {
        // A crossing: dashed line along the end angle, heads at both ends.
        const QPointF d = direction(endAngle);
        const QPointF a = c - d * (radius - 1);
        const QPointF b = c + d * (radius - 1);
        QPen p(arrowColour, pen, Qt::DashLine, Qt::FlatCap);
        painter->setPen(p);
        painter->setBrush(Qt::NoBrush);
        painter->drawLine(a + d * headSize * 0.8, b - d * headSize * 0.8);
        arrowHead(painter, b, c, headSize, arrowColour);
        arrowHead(painter, a, c, headSize, arrowColour);
        painter->restore();
        return;
    }

    // The vehicle enters from the side the head angle points away from, passes near
    // the centre and leaves towards the end angle.
    const QPointF start = c - direction(headAngle) * (radius - 1);
    const QPointF end = c + direction(endAngle) * (radius - 1);
    const QPointF stopBeforeHead = end - direction(endAngle) * headSize * 0.8;
    QPainterPath path(start);
    path.quadTo(c, stopBeforeHead);
    QPen p(arrowColour, pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter->setPen(p);
    painter->setBrush(Qt::NoBrush);
    painter->drawPath(path);
    arrowHead(painter, end, c + (end - c) * 0.5, headSize, arrowColour);
    painter->restore();
}

void DrawGradientRect(QPainter *painter, const QRect &rect, const QColor &startColour,
                      const QColor &endColour)
{
    if (!painter || rect.isEmpty())
        return;
    QLinearGradient g(rect.topLeft(), rect.bottomLeft());
    g.setColorAt(0, startColour);
    g.setColorAt(1, endColour);
    painter->fillRect(rect, g);
}

QRect GetP1Bounds(const QRect &cell)
{
    return QRect(cell.left(), cell.top(), cell.width() / 2, cell.height());
}

QRect GetP2Bounds(const QRect &cell)
{
    const int w1 = cell.width() / 2;
    return QRect(cell.left() + w1, cell.top(), cell.width() - w1, cell.height());
}

void GetP1P2Str(const QString &text, QString &first, QString &second)
{
    const qsizetype i = text.indexOf(QLatin1Char(';'));
    if (i < 0) {
        first = text;
        second.clear();
        return;
    }
    first = text.left(i);
    second = text.mid(i + 1);
}
