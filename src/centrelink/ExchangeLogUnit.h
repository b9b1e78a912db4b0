#pragma once
// What the exchange threads share: the synchronised hand-over of a call to the
// user-interface thread, the translated texts of the threads (T_UpDn1..24, taken on
// the user-interface thread when a thread is created), and the dispatcher that
// writes a thread's log line into the control-command log window.
//
// Log lines are comma-separated; the second part names the kind of line:
//   one part        a timed line (AddLog, admin mode only)
//   "SND"           packet dump of the request (first part = title)
//   "RSV_HEAD"      packet dump of the reply's 32 header bytes
//   "RSV_DATA"      packet dump of the reply's data
//   "START"         caption of the progress window (list thread)
//   "RESULT"        result line (list thread; shown in every mode)
// In list-thread titles "!@#$" stands for a comma and is turned back into one.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

#include "centrelink/RcClientUnit.h"

// Runs fn on the user-interface thread and waits until it has run (the threads'
// "Synchronize"). On the user-interface thread itself, or without an application,
// fn runs at once. The waiting caller on the user-interface thread must serve
// events (a local event loop), never block in QThread::wait().
void RcSynchronize(const std::function<void()> &fn);
// Runs fn on the user-interface thread without waiting ("Queue").
void RcQueue(const std::function<void()> &fn);

// The exchange threads' texts, index 1..24 (T_UpDn1 .. T_UpDn24).
struct TUpDnTexts
{
    QString t[25];
    const QString &operator[](int i) const { return t[(i >= 1 && i <= 24) ? i : 0]; }
    // From the data module when it exists, else from the language table [TDM]
    // (keys strUpDn1..24). Call on the user-interface thread.
    static TUpDnTexts Current();
};

// Packets a log line may dump.
struct TExchangeDump
{
    QByteArray request;   // 32 + DataSize bytes of the request
    QByteArray replyHead; // the reply's 32 header bytes (as converted)
    QByteArray replyData; // the reply's DataSize data bytes
};

// The packets a log line dumps, chosen by the line's kind (SND, RSV_HEAD, RSV_DATA).
TExchangeDump ExchangeDumpFor(const QString &line, const THostSimplePacket &request,
                              const THostSimplePacket &reply);

// The logged steps of an exchange thread over its connection; `log` is the thread's
// own line writer (it dumps the thread's packets).
using TExchangeLogFn = std::function<void(const QString &line)>;
// Sends the request after its SND line; false (and texts[4]) when it could not be
// sent or did not fit (`fits` false: nothing is sent).
bool RcSendLogged(TRcClient &client, const THostSimplePacket &request, const TUpDnTexts &texts,
                  const TExchangeLogFn &log, bool fits = true);
// Reads the reply's header and data into `reply`, logging RSV_HEAD and RSV_DATA;
// false (texts[6] or texts[12]) when either fails. A reply larger than the data area
// is refused unread; a header that the centre server did not send (start bytes,
// source, destination) is logged and refused (texts[6]). Each read has one deadline.
bool RcReceiveLogged(TRcClient &client, THostSimplePacket &reply, const TUpDnTexts &texts,
                     const TExchangeLogFn &log);
// Before a request: drops whatever is waiting on the connection. Bytes that came
// without being asked for make it unusable: false after ">> " texts[12].
bool RcDrainLogged(TRcClient &client, const TUpDnTexts &texts, const TExchangeLogFn &log);
// The closing step: the closing packet (built in `buffer`) and the disconnect when
// connected, else the connection is dropped. False, after texts[10] and texts[2],
// when the closing packet could not be sent.
bool RcCloseLogged(TRcClient &client, THostSimplePacket &buffer, const TUpDnTexts &texts,
                   const TExchangeLogFn &log);

// Sees every line of the exchange threads on the user-interface thread before the
// log window does (tests synchronise with the threads through it).
using TExchangeLogObserver = std::function<void(const QString &line)>;
void SetExchangeLogObserver(TExchangeLogObserver observer);
void NotifyExchangeLogObserver(const QString &line);

// Writes one line of an exchange thread into the control-command log window when
// it exists (user-interface thread). SND, RSV_HEAD and RSV_DATA dump the packets;
// with replaceCommaMark every "!@#$" becomes ",". START and RESULT are the list
// thread's and are not handled here. Returns the line's parts.
QStringList DispatchExchangeLog(const QString &line, const TExchangeDump &dump, bool replaceCommaMark);

// Process-wide defaults of the control connection, from the data module (host,
// control port, time-outs). Tests may set their own with SetCtrlEndpointOverride.
TRcEndpoint DefaultCtrlEndpoint();
TRcEndpoint DefaultMntrEndpoint();
void SetCtrlEndpointOverride(const TRcEndpoint *endpoint); // nullptr: back to the data module

// Controller type and name of an intersection as the exchange threads need them
// (user-interface thread; the database lookups of the core). Replaceable for tests.
using TLcTypeLookup = std::function<int(int lcNo)>;
using TLcNameLookup = std::function<QString(int lcNo)>;
void SetLcLookups(TLcTypeLookup typeLookup, TLcNameLookup nameLookup);
int LookupLcType(int lcNo);
QString LookupLcName(int lcNo);
