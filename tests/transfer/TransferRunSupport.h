#pragma once
// Shared by the transfer tests that run the executor against the centre-server
// simulator: the fixture database with the console's data module on it, the
// frames of a run and counting payloads. Header only: the programs that include
// it link transfer, centrelink, core and rcsimlib.
#include <QByteArray>
#include <QSqlDatabase>
#include <QString>

#include <memory>

#include "RcSimEndpoint.h"
#include "TestConsoleFolder.h"
#include "TransferTestSupport.h"
#include "core/untDM.h"
#include "transfer/TransferExecutor.h"

namespace TransferRun {

// `length` bytes counting up from `start` (wrapping at 256).
inline QByteArray Counting(int length, int start)
{
    QByteArray a(length, 0);
    for (int i = 0; i < length; ++i)
        a[i] = char((start + i) & 0xFF);
    return a;
}

// One frame: the request bytes and the reply's header and data sizes, compared
// for equality.
inline TCtrlData Frame(const QByteArray &req, int resHeader, int resSize)
{
    TCtrlData f;
    f.FReqData = req;
    f.FReqDataSize = int(req.size());
    f.FResHeaderSize = resHeader;
    f.FResDataSize = resSize;
    f.FEqualCompare = true;
    return f;
}

// The language file, database `name` with the fixture rows, *db opened on it as
// `connection`, and the console's data module (DM) on a program folder in `dir`.
// False (warned) at the first step that fails.
inline bool Open(const QString &name, const QString &connection, const QString &dir, QSqlDatabase *db)
{
    if (!TestConsole::LoadLanguage()) {
        qWarning("the language file does not load");
        return false;
    }
    if (!TransferFixture::Create(name))
        return false;
    *db = TestDb::open(name, connection);
    if (!db->isOpen()) {
        qWarning("no connection to %s", qPrintable(name));
        return false;
    }
    DM = TestConsole::OpenDataModule(dir, name);
    return DM != nullptr;
}

// Ends what Open and TestRcSim::Start began: the simulator stopped and the data
// module deleted.
inline void Close(std::unique_ptr<rcsim::RcSim> &sim)
{
    TestRcSim::Stop(sim);
    delete DM;
    DM = nullptr;
}

} // namespace TransferRun
