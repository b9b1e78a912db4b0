#include "mainwindow/TfdtInfoThreadUnit.h"

#include <QSqlError>
#include <QSqlQuery>

TTfdtInfoThread::TTfdtInfoThread(const TDBConnectionFactory &AFactory, int AInterval, QLabel *AOperLabel,
                                 QLabel *AFailLabel, QLabel *AUnusedLabel, QObject *parent)
    : QThread(parent), FConnectString(AFactory), FInterval(AInterval)
{
    setObjectName(QStringLiteral("TTfdtInfoThread"));
    FControls[0] = AOperLabel;
    FControls[1] = AFailLabel;
    FControls[2] = AUnusedLabel;
    for (int i = 0; i < 3; ++i) {
        QLabel *label = FControls[i];
        if (!label)
            continue;
        // Runs on the label's (user-interface) thread; gone with the label.
        connect(this, &TTfdtInfoThread::countsReady, label,
                [label, i](int oper, int fail, int unused) {
                    const int v[3] = {oper, fail, unused};
                    label->setText(QString::number(v[i]));
                },
                Qt::QueuedConnection);
    }
    start();
}

TTfdtInfoThread::~TTfdtInfoThread()
{
    Stop();
}

void TTfdtInfoThread::Stop()
{
    requestInterruption();
    if (isRunning() && QThread::currentThread() != this)
        wait();
}

QString TTfdtInfoThread::OperUnusedSql()
{
    return QStringLiteral(" SELECT    SUM(TFDT_REGFLAG) AS OPER_CNT,    SUM(CASE WHEN TFDT_REGFLAG = 0 THEN 1 ELSE 0 END)"
                          " AS UNUSED_CNT  FROM SCS_M_TFDTOPERATE ");
}

QString TTfdtInfoThread::FailSql(TDBType dbType)
{
    const QString when = dbType == dtMariaDB
                             ? QStringLiteral(" WHERE TFDT_CREDATE >= DATE_ADD(NOW(), INTERVAL - 300 SECOND) ")
                             : QStringLiteral(" WHERE TFDT_CREDATE >= SYSDATE - interval '300' second ");
    return QStringLiteral(" SELECT COUNT(*) AS FAIL_CNT FROM SCS_M_TFDTOPERATE A"
                          " INNER JOIN (SELECT INT_LCNO, TFDT_NO, MAX(TFDT_CREDATE) AS TFDT_CREDATE FROM SCS_L_TFDT ")
           + when
           + QStringLiteral(" GROUP BY INT_LCNO, TFDT_NO) B ON B.INT_LCNO = A.INT_LCNO AND B.TFDT_NO = A.TFDT_NO"
                            " LEFT JOIN SCS_L_TFDT C ON C.INT_LCNO = B.INT_LCNO AND C.TFDT_NO = B.TFDT_NO"
                            " AND C.TFDT_CREDATE = B.TFDT_CREDATE"
                            " WHERE A.TFDT_REGFLAG = 1 AND C.TFDT_STATUS1 = 0 ");
}

bool TTfdtInfoThread::Count(const QSqlDatabase &db, TDBType dbType, TTfdtCounts *counts, QSqlError *error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    TTfdtCounts c;
    if (!q.exec(OperUnusedSql())) {
        if (error)
            *error = q.lastError();
        return false;
    }
    if (q.next()) {
        c.Oper = q.value(0).toInt();   // a sum over no rows (NULL) counts 0
        c.Unused = q.value(1).toInt();
    }
    if (!q.exec(FailSql(dbType))) {
        if (error)
            *error = q.lastError();
        return false;
    }
    if (q.next())
        c.Fail = q.value(0).toInt();
    if (counts)
        *counts = c;
    return true;
}

void TTfdtInfoThread::run()
{
    const QString name = TDBConnectionFactory::ThreadConnectionName(QStringLiteral("TTfdtInfoThread"));
    TTfdtCounts counts;
    {
        QSqlDatabase db = FConnectString.Open(name);
        while (!isInterruptionRequested()) {
            const int interval = FInterval;
            if (!db.isOpen())
                db = FConnectString.Open(name); // the database came back
            if (db.isOpen()) {
                QSqlError error;
                if (!TTfdtInfoThread::Count(db, FConnectString.DBType(), &counts, &error)
                    && ClassifyDbError(error, true) == TDbErrorClass::Connection)
                    db.close(); // reopened next round; the numbers keep their values
            }
            emit countsReady(counts.Oper, counts.Fail, counts.Unused);
            for (int waited = 0; waited < interval && !isInterruptionRequested(); waited += 100)
                QThread::msleep(100);
        }
        db.close();
    }
    TDBConnectionFactory::Close(name);
}
