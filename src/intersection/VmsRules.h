#pragma once
// The rules of the VMS messages and schedules that need no window: the row
// limits of the two grids, the byte limit of a message text and the value lists
// of the shared edit items in the active language.
#include <QList>
#include <QString>

#include "core/GridModel.h"

namespace Vms {

inline constexpr int MaxMessages = 16;
inline constexpr int MaxSchedules = 10;
// The controller record holds 48 bytes of text, counted in CP949.
inline constexpr int MaxTextBytes = 48;

// The row limit of grid 0 (messages) or 1 (schedules).
int MaxRows(int grid);
// Whether a text fits the controller record.
bool TextFits(const QString &text);
// The value list of a shared edit item: its Korean texts, or in English the
// texts of the language table [GridResources] ("<item>.<value>").
QList<TGridItem> Choices(const QString &itemName);

} // namespace Vms
