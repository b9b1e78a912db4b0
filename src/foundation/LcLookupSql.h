#pragma once
// Look-ups of an intersection's controller type and group in SCS_M_INTLC, on a
// connection the caller chooses: the data module's and the simulated centre
// server's readers run the same statements.
#include <QSqlDatabase>
#include <QSqlError>

#include "foundation/TypeUnit.h"

// INT_LCTYPE 2 is the 2010 type: three-lamp when the lamp type (of the main
// intersection when MAIN_LCNO is above 0) is 0, else four-lamp; any other type,
// a missing row (or main intersection), a number below 1 or a failed statement give lct2004. *error
// (when given) holds the failure of the statement, invalid otherwise.
TLcTypeEx SelectLcTypeEx(const QSqlDatabase &db, int lcNo, QSqlError *error = nullptr);

// The group of an intersection: 0 when the intersection, or its group's row in
// SCS_M_SAOPERATE, does not exist (or the statement failed).
int SelectLcSaNo(const QSqlDatabase &db, int lcNo, QSqlError *error = nullptr);
