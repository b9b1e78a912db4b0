#pragma once
// Layouts of the transfer window's grids that need no window: the rows and band
// captions of the conflict-map grids (both sides) for a controller type.
#include <QList>
#include <QString>
#include <QStringList>

#include "foundation/TypeUnit.h"

// One row of a conflict-map grid: group label, item label and output kind
// (the grid's columns 0 to 2; data column x is grid column x + 3).
struct TConflictRow
{
    QString MainLabel;
    QString SubLabel;
    QString LsuNo;
    bool operator==(const TConflictRow &o) const
    {
        return MainLabel == o.MainLabel && SubLabel == o.SubLabel && LsuNo == o.LsuNo;
    }
};

// The rows of a conflict grid: 32 for the 2010 types (three-lamp: "LSU #" r div 2
// + 1 with G1/G2 alternating; four-lamp: "LSU #" r div 4 + 1 with PG, A, G, -),
// none for lct2004 and lctNone. The group label is the window text IDS_1162.
QList<TConflictRow> ConflictLayoutRows(TLcTypeEx type);

// Captions of the eight data bands (bands 2 to 9), by the band's place among the
// data bands: the output kinds in the order of the rows; empty for other types.
QStringList ConflictBandCaptions(TLcTypeEx type);
