#include "core/PhaseImageList.h"

#include <QPainter>

#include "core/Quorval.h"

namespace {

// Arrow colour and background of the pictures.
const QColor kArrow(0x5B, 0x9B, 0x5B);

} // namespace

TPhaseImageList::TPictureShape TPhaseImageList::Shape(int index)
{
    // Through and left-turn movements of the four approaches (south, east, north,
    // west in turn), then the two pedestrian crossings.
    static const TPictureShape shapes[PictureCount] = {
        {180, 0, false},   {180, 270, false}, {90, 270, false}, {90, 180, false}, {0, 180, false},
        {0, 90, false},    {270, 90, false},  {270, 0, false},  {270, 90, true},  {0, 180, true},
    };
    if (index < 0 || index >= PictureCount)
        return {};
    return shapes[index];
}

QPixmap TPhaseImageList::Pixmap(int index) const
{
    if (index < 0 || index >= PictureCount)
        return {};
    if (FPictures.isEmpty()) {
        for (int k = 0; k < PictureCount; ++k) {
            QPixmap pm(Size());
            pm.fill(Qt::transparent);
            QPainter p(&pm);
            const TPictureShape s = Shape(k);
            DrawSmoothMvmt(&p, QRect(QPoint(0, 0), Size()), s.Pedestrian, s.Head, s.End, Qt::white, kArrow);
            p.end();
            FPictures << pm;
        }
    }
    return FPictures.at(index);
}

QIcon TPhaseImageList::Icon(int index) const
{
    const QPixmap pm = Pixmap(index);
    return pm.isNull() ? QIcon() : QIcon(pm);
}

const TPhaseImageList &imgPhase()
{
    static const TPhaseImageList list;
    return list;
}

int PhaseButtonPicture(int movementNo)
{
    if (movementNo == 17)
        return 8;
    if (movementNo == 18)
        return 9;
    if (movementNo >= 1 && movementNo <= 16)
        return (movementNo - 1) % 8;
    return -1;
}
