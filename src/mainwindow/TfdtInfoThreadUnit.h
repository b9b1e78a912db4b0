#pragma once
// The main window's detector counter: every interval (10 s) it counts the
// registered, failed and unregistered detectors with its own database connection and
// hands the three numbers to the user-interface thread by a queued call that does not
// wait. A database error is swallowed: the numbers keep their last values (0 before
// the first success) and the thread goes on. Stop() ends it within 100 ms.
#include <QLabel>
#include <QPointer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QThread>

#include "core/untDM.h"

struct TTfdtCounts
{
    int Oper = 0;   // registered (TFDT_REGFLAG = 1)
    int Fail = 0;   // registered, with a log row of the last 300 s whose TFDT_STATUS1 is 0
    int Unused = 0; // TFDT_REGFLAG = 0
};

class TTfdtInfoThread : public QThread
{
    Q_OBJECT
public:
    // AControls: the labels of the registered, failed and unregistered counts (any may
    // be null). Starts at once.
    TTfdtInfoThread(const TDBConnectionFactory &AFactory, int AInterval, QLabel *AOperLabel,
                    QLabel *AFailLabel, QLabel *AUnusedLabel, QObject *parent = nullptr);
    ~TTfdtInfoThread() override;

    // Asks the thread to end and waits for it.
    void Stop();
    int Interval() const { return FInterval; }

    // The two counting statements for a database type.
    static QString OperUnusedSql();
    static QString FailSql(TDBType dbType);
    // One count on a connection. False on a database error (*counts unchanged).
    static bool Count(const QSqlDatabase &db, TDBType dbType, TTfdtCounts *counts, QSqlError *error = nullptr);

signals:
    // Every interval, on the worker thread (queued to the user-interface thread).
    void countsReady(int oper, int fail, int unused);

protected:
    void run() override;

private:
    TDBConnectionFactory FConnectString;
    int FInterval;
    QPointer<QLabel> FControls[3];
};
