#pragma once
// Copies of a group's or an intersection's data without their windows: the
// options and the tables each copies, the ordered checks before a copy and the
// copy itself, every chosen table through CopyTable in one transaction (the
// target's rows replaced by the source's as they stand, with the key set to the
// target). A new target gets the typed name when its master row is copied.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

#include "foundation/TypeUnit.h"

namespace CopyData {

struct TCopyKind
{
    QString KeyColumn;     // SA_NO or INT_LCNO
    QString MasterTable;   // the table of option 2
    QString NameColumn;    // the name written for a new target
    int MaxNo = 0;         // the largest target number
    // Index k (2 and up): the tables of option k in copy order; index 0 and 1 are empty.
    QList<QStringList> Tables;
    int OptionCount() const { return int(Tables.size()) - 1; } // options 1 .. N
};
const TCopyKind &GroupKind();
const TCopyKind &IntersectionKind();

// The selection: one byte per option (index 1 to N), 1 chosen, 2 not chosen.
class TSelection
{
public:
    explicit TSelection(int options);
    int Count() const { return int(FSelection.size()) - 1; }
    bool Chosen(int k) const { return FSelection.value(k) == 1; }
    quint8 Value(int k) const { return FSelection.value(k); }
    // Toggles option k; option 1 sets or clears every option, any other one sets
    // option 1 exactly when options 2 to N are all chosen.
    void Toggle(int k);
    bool AnyData() const; // one of options 2 to N chosen

private:
    QVector<quint8> FSelection;
};

// The checks in their order; the first problem ends the copy.
enum class TProblem { None, Source, TargetEmpty, TargetTooLarge, Same, NoName, NoOption };
struct TRequest
{
    bool SourceExists = false;
    int Source = 0;
    int Target = 0;          // 0 when empty
    bool TargetExists = false;
    QString NewName;
};
TProblem Check(const TCopyKind &kind, const TRequest &request, const TSelection &selection);

// The copy: every chosen table in option and table order, then the new target's
// name; all in one transaction on db (one already open is left to its owner).
// Throws EUtilityError (rolled back) on the first failure.
void Copy(QSqlDatabase db, TDBType dbType, const TCopyKind &kind, const TRequest &request,
          const TSelection &selection);

} // namespace CopyData
