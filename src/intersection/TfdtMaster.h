#pragma once
// The detector channels of an intersection's controller (SCS_M_TFDTOPERATE)
// without their window: the grid's columns, the search and the loading of its
// rows, the channel rules (1 to 64 direct, 65 to 128 indirect, main and sub
// phases only for spill-back detectors) and the statements of one changed row.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include "core/GridModel.h"

namespace TfdtMaster {

inline constexpr int MaxChannels = 128;
inline constexpr int LastDirectChannel = 64;
inline constexpr int SpillBackUse = 4;

// The grid's columns (field names; the control distance of an indirect channel
// is TFDT_POSITION_MIRROR, the direct/indirect text "Type", the hidden
// controller type INT_LCTYPE). Value lists are filled by the window.
TGridColumns Columns();
// The key; a clash is shown on the channel number.
inline const QStringList PrimaryKeys{QStringLiteral("TFDT_NO"), QStringLiteral("INT_LCNO")};

// Direct channels are 64 and below (an empty number counts as 0).
bool IsDirect(const QVariant &channel);
// The search, restricted by ":INT_LCNO" unless all intersections are listed.
QString SearchSql(bool all);
// Fills the model from the executed search: state "N", key "INT_LCNO,TFDT_NO";
// a stored phase 0 and detector id "0" show empty; the position goes to the
// direct or the indirect column by the channel number.
void LoadRows(TGridModel &model, QSqlQuery &query);
// The channel of a new row: 1 in an empty grid, else the last row's plus 1.
int NextChannel(const TGridModel &model);
// Whether a cell may be edited: lane and position only on direct channels, the
// installed intersection, channel and control distance only on indirect ones,
// main and sub ring and phase only on spill-back detectors; the intersection
// and the direct/indirect text never.
bool CellEditable(const TGridModel &model, int rec, int col);
// The statement of one changed row (throws EGridSaveError).
void SaveRow(QSqlDatabase db, const TGridRow &row);

} // namespace TfdtMaster
