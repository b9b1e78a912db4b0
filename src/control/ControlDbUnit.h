#pragma once
// The statements of the control windows, apart from the windows: the group and
// intersection tree, the firmware register row of an intersection, the priority
// agencies and entries, and the list of groups. Everything runs on the data
// module's connection (user-interface thread); every value is a bound parameter.

#include <QList>
#include <QString>

#include "control/ControlRecordUnit.h"

class QWidget;

// One row of the tree query: a group and one of its registered intersections.
struct TControlTreeRow
{
    int SaNo = 0;
    QString SaName;
    int LcNo = 0;
    QString LcName;
    int ImporFlag = 0;
    int LcType = 0;
};

// Groups with their intersections of INT_REGFLAG 1, ordered by group, order in the
// group and number. False (error shown) when the statement failed.
bool LoadControlTreeRows(QList<TControlTreeRow> *rows, QWidget *owner = nullptr);
QString ControlTreeSql();

// The firmware register row assigned to an intersection as its MCU or SCU firmware.
// False when there is none or the statement failed (shown).
bool LoadFirmwareRow(int lcNo, TFirmwareKind kind, TFirmwareRow *row, QWidget *owner = nullptr);
QString FirmwareRowSql(TFirmwareKind kind);

// One priority agency.
struct TPpcManagerRow
{
    int PpcManager = 0;
    int PpcType = 0;
    QString Comments;
};
bool LoadPpcManager(int ppcManager, TPpcManagerRow *row, QWidget *owner = nullptr);

// Registered entries of the given intersections that are 2010 controllers, in the
// statement's order; every entry unticked. Empty for an empty list.
QList<TPpcEntry> LoadPpcEntries(const QList<int> &lcNos, QWidget *owner = nullptr);
QString PpcEntriesSql(int count);

// Groups in use (SA_REGFLAG 1), ordered by number. False when the statement failed
// or gave no row.
struct TSaRow
{
    int SaNo = 0;
    QString SaName;
};
bool LoadSaRows(QList<TSaRow> *rows, QWidget *owner = nullptr);
