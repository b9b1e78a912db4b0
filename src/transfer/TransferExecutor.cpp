#include "transfer/TransferExecutor.h"

#include <QApplication>
#include <QCoreApplication>
#include <QThread>
#include <QWidget>

#include "centrelink/CtrlThreadUnit.h"
#include "centrelink/ExchangeLogUnit.h"
#include "centrelink/untTH_TCDV_C_Log.h"
#include "core/LookupUnit.h"
#include "core/ProgressBarThreadUnit.h"
#include "core/siLang.h"
#include "core/untDM.h"

namespace {

const QString kTable = QStringLiteral("TfrmTCDV_C_DBUpDn");

// Restores the cursor and the busy flag however the run ends.
struct RunGuard
{
    bool &doing;
    bool userRun;
    TProgressBarThread *progress;
    ~RunGuard()
    {
        if (progress)
            progress->EndProgress();
        doing = false;
        if (userRun)
            QApplication::restoreOverrideCursor();
    }
};

} // namespace

TTransferExecutor::TTransferExecutor(QWidget *owner)
    : QObject(owner), FOwner(owner)
{
}

QString TTransferExecutor::EventText(const QString &caption, bool ok)
{
    return QStringLiteral("%1:%2").arg(caption, siText(kTable, ok ? QStringLiteral("IDS_525") : QStringLiteral("IDS_526")));
}

QString TTransferExecutor::AllRunRowCaption(const QString &panelText, const QString &allDownloadCaption,
                                           const QString &caption, int dayPlanNo)
{
    if (!panelText.isEmpty() && panelText == allDownloadCaption && caption == siText(kTable, QStringLiteral("IDS_539")))
        return QStringLiteral("%1(일계획: #%2)").arg(caption).arg(dayPlanNo, 2, 10, QLatin1Char('0'));
    return caption;
}

bool TTransferExecutor::RunTransfer(QObject *Sender, const QString &ACaption, const TProc &AClearView,
                                    const TProc &AClearData, const TProc &AOnSuccess, const TProc &AOnFinish,
                                    int ATcdvId, TCtrlDataArray &ADataArray, quint16 AReqOpcode,
                                    quint16 AResOpcode, int AReqtType)
{
    if (!Sender && !FAllExecutorVisible)
        return false; // nothing is sent, nothing is logged
    const bool userRun = Sender != nullptr;
    TProgressBarThread *progress = nullptr;
    if (userRun) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (ShowProgress)
            progress = new TProgressBarThread(FOwner);
    }
    FDoing = true;
    RunGuard guard{FDoing, userRun, progress};
    bool result = false;
    try {
        if (progress)
            progress->StartProgress(ACaption, pbstMarquee, 0, 100, 10);
        else if (!userRun && AddAllRunRow)
            AddAllRunRow(AllRunRowCaption(AllRunPanelText, AllDownloadCaption, ACaption, DayPlanNo));
        QCoreApplication::processEvents();
        if (AClearView)
            AClearView();
        if (AClearData)
            AClearData();
        result = ExecuteTransfer(ACaption, ATcdvId, progress, AReqtType, AResOpcode, AReqOpcode, ADataArray);
        if (result && AOnSuccess)
            AOnSuccess();
        if (DM)
            DM->WriteEventControl(DM->G_APP_USER.ID, 14, AReqOpcode, 1, false, ATcdvId, EventText(ACaption, result));
    } catch (...) {
        if (AOnFinish)
            AOnFinish();
        throw;
    }
    if (AOnFinish)
        AOnFinish();
    return result;
}

void TTransferExecutor::TerminateRunning()
{
    if (FCtrlThread)
        FCtrlThread->Terminate();
}

bool TTransferExecutor::ExecuteTransfer(const QString &ACaption, int ATcdvId, QObject *AProgressBar,
                                        int AReqtType, quint16 AResOpcode, quint16 AReqOpcode,
                                        TCtrlDataArray &ADataArray)
{
    if (frmTH_TCDV_C_Log)
        frmTH_TCDV_C_Log->DsplTitle(ACaption, ATcdvId, GetLcName(ATcdvId));
    int threadResult = 0;
    {
        TCtrlThread thread(ATcdvId, ADataArray, AReqOpcode, AResOpcode, AReqtType, ACaption, StatusBar,
                           AProgressBar, DefaultCtrlEndpoint());
        thread.Start();
        FCtrlThread = &thread;
        // Wait on the user-interface thread while serving its events.
        while (!thread.FFinished()) {
            QThread::msleep(10);
            QCoreApplication::processEvents();
        }
        FCtrlThread = nullptr;
        QCoreApplication::processEvents();
        threadResult = thread.RtnValue();
    }
    FLastThreadResult = threadResult;
    const bool ok = FileTransferReplies(Buffers, FLCType, AReqOpcode, ADataArray, threadResult);
    if (FAllExecutorVisible && MarkAllRunRow)
        MarkAllRunRow(ok);
    return ok;
}
