#include "intersection/CopyData.h"

#include <QSqlError>
#include <QSqlQuery>

#include "core/GridHelpers.h"
#include "foundation/QuorvalBase.h"
#include "foundation/QuorvalSql.h"

namespace CopyData {

const TCopyKind &GroupKind()
{
    static const TCopyKind kind{QStringLiteral("SA_NO"), QStringLiteral("SCS_M_SAOPERATE"), QStringLiteral("SA_NAME"),
                                200,
                                {{}, {}, {"SCS_M_SAOPERATE"}, {"SCS_M_SAAPLAN"}, {"SCS_M_SADPLAN"}, {"SCS_M_SAWPLAN"},
                                 {"SCS_M_SAHPLAN"}}};
    return kind;
}

const TCopyKind &IntersectionKind()
{
    static const TCopyKind kind{QStringLiteral("INT_LCNO"), QStringLiteral("SCS_M_INTLC"), QStringLiteral("INT_NAME"),
                                1024,
                                {{},
                                 {},
                                 {"SCS_M_INTLC"},
                                 {"SCS_M_INTSTARTUP"},
                                 {"SCS_M_INTALGORITHM", "SCS_M_INTLINKQUEUE", "SCS_M_INTSPILLBACK"},
                                 {"SCS_M_INTPHASE"},
                                 {"SCS_M_INTTPLAN"},
                                 {"SCS_M_INTSIGMAP"},
                                 {"SCS_M_INTOUTPED", "SCS_M_INTLSU"},
                                 {"SCS_M_INTFLSMAP"},
                                 {"SCS_M_INTFPLAN"},
                                 {"SCS_M_INTCONFLICT"},
                                 {"SCS_M_TFDTOPERATE"}}};
    return kind;
}

TSelection::TSelection(int options) : FSelection(options + 1, 2)
{
    FSelection[0] = 0;
}

void TSelection::Toggle(int k)
{
    if (k < 1 || k > Count())
        return;
    const quint8 value = FSelection[k] == 1 ? 2 : 1;
    if (k == 1) {
        for (int i = 1; i <= Count(); ++i)
            FSelection[i] = value;
        return;
    }
    FSelection[k] = value;
    bool all = true;
    for (int i = 2; i <= Count(); ++i)
        all = all && FSelection[i] == 1;
    FSelection[1] = all ? 1 : 2;
}

bool TSelection::AnyData() const
{
    for (int i = 2; i <= Count(); ++i)
        if (FSelection[i] == 1)
            return true;
    return false;
}

TProblem Check(const TCopyKind &kind, const TRequest &r, const TSelection &selection)
{
    if (!r.SourceExists)
        return TProblem::Source;
    if (r.Target == 0)
        return TProblem::TargetEmpty;
    if (r.Target > kind.MaxNo)
        return TProblem::TargetTooLarge;
    if (r.Source == r.Target)
        return TProblem::Same;
    if (!r.TargetExists && r.NewName.trimmed().isEmpty())
        return TProblem::NoName;
    if (!selection.AnyData())
        return TProblem::NoOption;
    return TProblem::None;
}

void Copy(QSqlDatabase db, TDBType dbType, const TCopyKind &kind, const TRequest &r, const TSelection &selection)
{
    const bool own = !ConInTransaction(db);
    if (own && !ConStartTransaction(db))
        throw EUtilityError(db.lastError().text());
    try {
        QSqlQuery query(db);
        for (int k = 2; k <= selection.Count(); ++k) {
            if (!selection.Chosen(k))
                continue;
            for (const QString &table : kind.Tables.value(k)) {
                CopyTable(query, dbType, table, kind.KeyColumn, r.Source, r.Target);
                if (table == kind.MasterTable && !r.TargetExists) {
                    QSqlQuery name(db);
                    name.prepare(QStringLiteral(" UPDATE %1 SET %2 = :NAME WHERE %3 = :NO ")
                                     .arg(kind.MasterTable, kind.NameColumn, kind.KeyColumn));
                    name.bindValue(QStringLiteral(":NAME"), r.NewName.trimmed());
                    name.bindValue(QStringLiteral(":NO"), r.Target);
                    if (!name.exec())
                        throw EUtilityError(name.lastError().text());
                }
            }
        }
        if (own && !ConCommit(db))
            throw EUtilityError(db.lastError().text());
    } catch (...) {
        if (own)
            ConRollback(db);
        throw;
    }
}

} // namespace CopyData
