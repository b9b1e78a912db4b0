#pragma once
// The monitoring-link log: what the monitoring cycle does on the monitoring port.
// Lines (admin mode only) are collected in a buffer and written into the memo by a
// 500 ms timer while the window is shown; while it is hidden the buffer is written
// at once when it holds more than 2500 bytes (counted in CP949 with a two-byte line
// break). A flush first deletes the memo's first 100 lines while it holds 1000
// lines or more. Created hidden by the main window (frmTH_LogCom); its writers are
// serialised by the main window's lock.

#include "centrelink/CommLogWindow.h"

#include <QStringList>

class QTimer;

class TfrmTH_LogCom : public TCommLogWindow
{
    Q_OBJECT
public:
    explicit TfrmTH_LogCom(QWidget *owner = nullptr);
    ~TfrmTH_LogCom() override;

    void AddLog(const QString &Msg, const QString &Time = QString());
    void DsplPacket(const QString &Title, const void *pPacket, int Len, int Line_Len = 16);

    // Writes the buffer into the memo (the timer's work).
    void Flush();
    int BufferBytes() const { return FBufferBytes; }
    int BufferLines() const { return int(FBuffer.size()); }
    bool TimerActive() const;

    QTimer *Timer = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Buffer(const QStringList &lines);

    QStringList FBuffer;
    int FBufferBytes = 0;
};

extern TfrmTH_LogCom *frmTH_LogCom;
