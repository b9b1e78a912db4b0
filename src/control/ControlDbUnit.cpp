#include "control/ControlDbUnit.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include "core/untDM.h"

QString ControlTreeSql()
{
    return QStringLiteral(
        "SELECT T1.SA_NO, T1.SA_NAME, T2.INT_LCNO, T2.INT_NAME, T2.INT_IMPORFLAG, T2.INT_LCTYPE "
        "FROM SCS_M_SAOPERATE T1 LEFT JOIN SCS_M_INTLC T2 ON T1.SA_NO = T2.INT_SANO "
        "WHERE T2.INT_REGFLAG = 1 "
        "ORDER BY T1.SA_NO, T2.INT_SAINDEX, T2.INT_LCNO");
}

bool LoadControlTreeRows(QList<TControlTreeRow> *rows, QWidget *owner)
{
    rows->clear();
    if (!DM)
        return false;
    QSqlQuery q = DM->NewQuery();
    q.setForwardOnly(true);
    if (!q.prepare(ControlTreeSql()) || !q.exec()) {
        DM->ShowDbError(owner, q.lastError(), DM->T_QueryFailMsg, DM->T_QueryFailCaption);
        return false;
    }
    while (q.next()) {
        TControlTreeRow r;
        r.SaNo = q.value(0).toInt();
        r.SaName = q.value(1).toString();
        r.LcNo = q.value(2).toInt();
        r.LcName = q.value(3).toString();
        r.ImporFlag = q.value(4).toInt();
        r.LcType = q.value(5).toInt();
        rows->append(r);
    }
    return true;
}

QString FirmwareRowSql(TFirmwareKind kind)
{
    return QStringLiteral(
               "SELECT B.FW_ID, B.FW_CREDATE, B.FW_VER_MAJOR, B.FW_VER_MINOR, B.FW_VER_MODULE, "
               "B.FW_VER_REV, B.FW_FILENAME, B.FW_SIZE, B.FW_CRC32 "
               "FROM SCS_M_INTLC A INNER JOIN SCS_M_FIRMWARE B ON B.FW_ID = ")
        + (kind == fkSCU ? QStringLiteral("A.SCU_FW_ID") : QStringLiteral("A.MCU_FW_ID"))
        + QStringLiteral(" WHERE A.INT_LCNO = :INT_LCNO");
}

bool LoadFirmwareRow(int lcNo, TFirmwareKind kind, TFirmwareRow *row, QWidget *owner)
{
    if (!DM)
        return false;
    QSqlQuery q = DM->NewQuery();
    q.prepare(FirmwareRowSql(kind));
    q.bindValue(QStringLiteral(":INT_LCNO"), lcNo);
    if (!DM->QueryOpen(q, owner))
        return false;
    TFirmwareRow r;
    r.FW_ID = q.value(QStringLiteral("FW_ID")).toInt();
    r.FW_VER_MAJOR = q.value(QStringLiteral("FW_VER_MAJOR")).toInt();
    r.FW_VER_MINOR = q.value(QStringLiteral("FW_VER_MINOR")).toInt();
    r.FW_VER_MODULE = q.value(QStringLiteral("FW_VER_MODULE")).toInt();
    r.FW_VER_REV = q.value(QStringLiteral("FW_VER_REV")).toInt();
    r.FW_FILENAME = q.value(QStringLiteral("FW_FILENAME")).toString();
    r.FW_SIZE = q.value(QStringLiteral("FW_SIZE")).toLongLong();
    r.FW_CRC32 = q.value(QStringLiteral("FW_CRC32")).toString();
    *row = r;
    return true;
}

bool LoadPpcManager(int ppcManager, TPpcManagerRow *row, QWidget *owner)
{
    if (!DM)
        return false;
    QSqlQuery q = DM->NewQuery();
    q.prepare(QStringLiteral("SELECT PPC_MANAGER, PPC_TYPE, PPCM_COMMENTS FROM SCS_M_INTPPCMANAGER "
                             "WHERE PPC_MANAGER = :PPC_MANAGER"));
    q.bindValue(QStringLiteral(":PPC_MANAGER"), ppcManager);
    if (!DM->QueryOpen(q, owner))
        return false;
    row->PpcManager = q.value(0).toInt();
    row->PpcType = q.value(1).toInt();
    row->Comments = q.value(2).toString();
    return true;
}

QString PpcEntriesSql(int count)
{
    QStringList params;
    for (int i = 0; i < count; ++i)
        params << QStringLiteral(":LC%1").arg(i);
    return QStringLiteral(
               "SELECT A.INT_LCNO, A.PPC_MANAGER, B.PPC_TYPE, A.PPC_NUMBER, A.PPCN_COMMENTS "
               "FROM SCS_M_INTPPC A INNER JOIN SCS_M_INTPPCMANAGER B ON A.PPC_MANAGER = B.PPC_MANAGER "
               "LEFT JOIN SCS_M_INTLC C ON C.INT_LCNO = A.INT_LCNO "
               "WHERE A.INT_LCNO IN (")
        + params.join(QStringLiteral(", "))
        + QStringLiteral(") AND C.INT_LCTYPE = 2 ORDER BY A.INT_LCNO, A.PPC_MANAGER, A.PPC_NUMBER");
}

QList<TPpcEntry> LoadPpcEntries(const QList<int> &lcNos, QWidget *owner)
{
    QList<TPpcEntry> rows;
    if (lcNos.isEmpty() || !DM)
        return rows;
    QSqlQuery q = DM->NewQuery();
    q.prepare(PpcEntriesSql(int(lcNos.size())));
    for (int i = 0; i < lcNos.size(); ++i)
        q.bindValue(QStringLiteral(":LC%1").arg(i), lcNos.at(i));
    if (!DM->QueryOpen(q, owner))
        return rows;
    do {
        TPpcEntry e;
        e.IntLcNo = q.value(0).toInt();
        e.PpcManager = q.value(1).toInt();
        e.PpcType = q.value(2).toInt();
        e.PpcNumber = q.value(3).toLongLong();
        e.Comments = q.value(4).toString();
        rows.append(e);
    } while (q.next());
    return rows;
}

bool LoadSaRows(QList<TSaRow> *rows, QWidget *owner)
{
    rows->clear();
    if (!DM)
        return false;
    QSqlQuery q = DM->NewQuery();
    q.prepare(QStringLiteral("SELECT SA_NO, SA_NAME FROM SCS_M_SAOPERATE WHERE SA_REGFLAG = 1 ORDER BY SA_NO"));
    if (!DM->QueryOpen(q, owner))
        return false;
    do {
        rows->append(TSaRow{q.value(0).toInt(), q.value(1).toString()});
    } while (q.next());
    return true;
}
