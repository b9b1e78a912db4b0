#pragma once
// The data module's movement picture list (imgPhase): ten pictures of 24 by 24
// pixels. Pictures 0 to 7 are the vehicle movements 1 to 8 (the movements 9 to 16
// show them again), pictures 8 and 9 the pedestrian movements 17 and 18. The
// pictures are drawn once, on first use, with DrawSmoothMvmt.
#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QSize>

class TPhaseImageList
{
public:
    static constexpr int PictureCount = 10;

    int Count() const { return PictureCount; }
    QSize Size() const { return {24, 24}; }
    // The picture of an index (a null pixmap outside 0 to 9).
    QPixmap Pixmap(int index) const;
    QIcon Icon(int index) const;
    // The head and end angles (degrees, compass style) a picture is drawn with,
    // and whether it is a pedestrian crossing.
    struct TPictureShape
    {
        double Head = 0;
        double End = 0;
        bool Pedestrian = false;
    };
    static TPictureShape Shape(int index);

private:
    mutable QList<QPixmap> FPictures;
};

// The program's one list.
const TPhaseImageList &imgPhase();

// Picture of a phase button for a movement number: (m - 1) mod 8 for the vehicle
// movements 1 to 16, 8 and 9 for the pedestrian movements 17 and 18; -1 (no
// picture) for any other number.
int PhaseButtonPicture(int movementNo);
