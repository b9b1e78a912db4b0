#pragma once
// Requests of the control windows and the checks of their replies, apart from the
// windows: each builder resets the request and the reply packet and fills the
// request; each check turns an exchange result (the reply's data size or a result
// code 99991..99994) and the reply into the outcome the window shows and logs.
//
// A command addressed to a controller carries the controller head (type, opcode);
// the type passed in is the one the caller looked up once for the intersection, and
// the same value chooses the size of the record that follows, so the two never
// disagree.

#include <QByteArray>
#include <QString>

#include <functional>

#include "control/ControlRecordUnit.h"
#include "centrelink/RC2MMIUnit.h"

// Language text of a key (the window's table, then [TDM]).
using TControlTextFn = std::function<QString(const QString &key)>;

// What one exchange came to: success, and the text of the result list and the log.
struct TCommandOutcome
{
    bool ok = false;
    QString text;
};

// ---------------------------------------------------------------------------
// Requests
// ---------------------------------------------------------------------------

// Reply opcode that the intersection window expects for an opcode (0xE8, 0xEA, 0x10,
// 0x56); 0 for any other opcode (which is not sent).
quint8 LcExpectedReplyOpcode(quint8 opcode);
// The group window's: 0xE6, 0xEA, 0xEC; 0 otherwise.
quint8 SaExpectedReplyOpcode(quint8 opcode);
// Data size of a group reply that is accepted: 3 for 0xEC, 1 for the others.
int SaExpectedReplySize(quint8 opcode);

// Intersection request without controller head (operating mode, TOD/TRC).
void BuildLcPlainRequest(THostSimplePacket &req, THostSimplePacket &res, quint8 opcode, int lcNo,
                         const QByteArray &data);
// Intersection request with controller head: [lcType, opcode] then the record.
void BuildLcControllerRequest(THostSimplePacket &req, THostSimplePacket &res, quint8 opcode, int lcNo,
                              int lcType, const QByteArray &record);
// Group request (target kind 2), no controller head.
void BuildSaRequest(THostSimplePacket &req, THostSimplePacket &res, quint8 opcode, int saNo,
                    const QByteArray &data);

// The special-command record of a controller type: the 22-byte 2004 record for type 1,
// else the 35-byte 2010 record.
QByteArray SpecialCommandBytes(int lcType, const SpecialCommand_2004 &r2004,
                               const SpecialCommand_2010 &r2010);
inline bool IsLcType2004(int lcType) { return lcType == 1; }

// ---------------------------------------------------------------------------
// Reply checks (texts of the intersection window's table unless said)
// ---------------------------------------------------------------------------

// Operating mode (0xE8), TOD/TRC (0xEA), control mode (0x10), firmware upgrade (0x56).
// Accepted sizes: 1 for 0xE8/0xEA/0x10, 3 for 0x56/0x10. The firmware upgrade
// succeeds only when the controller reports "No error" (0), the control mode only
// when it reports 1; the others when the reply carries the expected opcode.
TCommandOutcome LcCommandOutcome(quint8 opcode, int r, const THostSimplePacket &res,
                                 const QString &title, const TControlTextFn &t);

// Special command (0x50): at least 2 data bytes, the second 0x51; a third byte (the
// controller's status) of 0 is a refusal. When only the closing step failed (99994)
// the data actually received is judged.
TCommandOutcome SpecialCommandOutcome(int r, const THostSimplePacket &res, const QString &title,
                                      const TControlTextFn &t);

// Priority-list requests (0x50): exactly 3 data bytes, the second 0x51, the third
// (status) not 0. With
// withNumber the line ends in "(number)".
TCommandOutcome PpcCommandOutcome(int r, const THostSimplePacket &res, const QString &title,
                                  const TControlTextFn &t, bool withNumber, quint32 number);

// Group commands (texts of the group window's table).
TCommandOutcome SaCommandOutcome(quint8 opcode, int r, const THostSimplePacket &res,
                                 const QString &title, const TControlTextFn &t);

// Runs one exchange on the control port (exchange thread, waited for with a local
// event loop) and returns its result. Tests may replace it.
using TControlExchangeFn = std::function<int(THostSimplePacket &req, THostSimplePacket &res)>;
int RunControlExchange(THostSimplePacket &req, THostSimplePacket &res);
void SetControlExchange(TControlExchangeFn fn); // empty: back to the exchange thread
