#pragma once
// The one mapping from an intersection's operating state to its legend colour,
// shared by the main map, the intersection monitor and the whole-system monitor.
//
//   operating mode 3 (semi-actuated)   -> the PPC-mode colour, whatever the state
//   state 0 communication failure, 1 centre, 2 local, 3 failure, 4 transition,
//   5 flash, 6 lights off, 7 manual operation, 8 manual flash,
//   9 manual lights off -> the lights-off colour (as 6), 10 phase hold,
//   11 SCU mode, 12 PPC mode; any other state -> black.
// An intersection not in use takes the not-in-use colour (LcUseColor).
#include <QColor>
#include <QString>

struct TLcStatusColors
{
    // Colour of each legend state shape, by its state code (Tag) 0..12.
    QColor State[13];
    // The not-in-use shape (Tag 255).
    QColor Unused;

    // The INI defaults of the legend (DISP-INDEX, Windows colour numbers).
    static TLcStatusColors Defaults();
    // Default colour number of a state shape (Tag 0..12 or 255), as stored in the INI.
    static quint32 DefaultColorNumber(int tag);
    // INI key of a state shape (Tag 0..12 or 255), e.g. "LC_STATUS_COMM_FAIL_COLOR";
    // empty for an unknown tag.
    static QString IniKey(int tag);

    // The colour of a state shape by its Tag (0..12, 255); black for another tag.
    QColor ByTag(int tag) const;
    void SetByTag(int tag, const QColor &colour);
};

// Colour of a state and operating mode (rules above).
QColor LcStatusColor(const TLcStatusColors &colors, int state, int mode);
// The same as six hexadecimal digits, red first ("FF0000"), without "#".
QString GetLcStatusColor(const TLcStatusColors &colors, int state, int mode);
// The colour of an intersection: its state colour when it is in use (or is virtual and
// its main intersection is in use), else the not-in-use colour.
QColor LcUseColor(const TLcStatusColors &colors, bool inUse, int state, int mode);
