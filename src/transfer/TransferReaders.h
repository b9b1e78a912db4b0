#pragma once
// Readers of the centre tables: each packs one controller's rows into the
// controller's byte layout of its block (UPDNUnit.h), the centre copy that a
// download sends and the simulated centre server stores. Every reader starts
// from a zeroed block, so a controller without rows yields zeros; rows whose
// index lies outside the block are skipped and reading goes on; texts are cut on
// CP949 character boundaries. A failed statement leaves the block zeroed and
// sets *error (when given).
//
// Windowless: the transfer window and the simulated centre server share them.

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>

#include "foundation/TypeUnit.h"
#include "transfer/UPDNUnit.h"

struct TReaderError
{
    QString Text; // empty when every statement ran
};

// The controller type of an intersection from SCS_M_INTLC (SelectLcTypeEx of
// foundation/LcLookupSql.h, the statement the data module runs too).
TLcTypeEx ReadLcTypeEx(const QSqlDatabase &db, int lcNo, TReaderError *error = nullptr);
// The group of an intersection, 0 when it or its group's row is not found
// (SelectLcSaNo of foundation/LcLookupSql.h).
int ReadLcSaNo(const QSqlDatabase &db, int lcNo, TReaderError *error = nullptr);

// Start-up code: 8 bytes for lct2004, else 25.
QByteArray LoadHStartupCode(const QSqlDatabase &db, int lcNo, TLcTypeEx type, TReaderError *error = nullptr);
// One ring (1 A, 2 B) of map m into the type's signal-map block (steps 1..32 only).
void LoadHSignalMapRing(const QSqlDatabase &db, int lcNo, TLcTypeEx type, int map, int ring,
                        QByteArray &block, TReaderError *error = nullptr);
// The whole signal-map block of the type (2 maps for 2004, 7 for 2010).
QByteArray LoadHSignalMap(const QSqlDatabase &db, int lcNo, TLcTypeEx type, TReaderError *error = nullptr);
// Flash map: 14 bytes for lct2004, else 17.
QByteArray LoadHFlashMap(const QSqlDatabase &db, int lcNo, TLcTypeEx type, TReaderError *error = nullptr);
// Detectors (448 bytes): registered channels 1..64.
QByteArray LoadHDetector(const QSqlDatabase &db, int lcNo, TReaderError *error = nullptr);
// Day plans (3,220 bytes) of group saNo with the splits and offsets of intersection lcNo.
QByteArray LoadHDayPlan(const QSqlDatabase &db, int lcNo, int saNo, TReaderError *error = nullptr);
// Weekly plan (7 bytes) of the intersection's group: SA_WEEK 1..7.
QByteArray LoadHWeekPlan(const QSqlDatabase &db, int lcNo, TReaderError *error = nullptr);
// Holiday plan (90 bytes) of the intersection's group: SA_HPLANINDEX 1..30.
QByteArray LoadHHoliDayPlan(const QSqlDatabase &db, int lcNo, TReaderError *error = nullptr);
// Reservation plans (80 bytes): INT_FPLANINDEX 1..10.
QByteArray LoadHFunctionTable(const QSqlDatabase &db, int lcNo, TReaderError *error = nullptr);
// Output map (119 bytes) by INT_OUTDIR 1..10 and the LSU lamp types; correct
// (when given, 10 x 6) gets the flags of outputs named in the centre whose packed
// byte is 0 (LSU 1 with sort 0).
QByteArray LoadHInOutPed(const QSqlDatabase &db, int lcNo, int (*correct)[6] = nullptr,
                         TReaderError *error = nullptr);
// Conflict map (128 bytes) from SCS_M_INTCONFLICT: row INT_YNO, column INT_XNO (0..31).
QByteArray LoadHConflictMap(const QSqlDatabase &db, int lcNo, TReaderError *error = nullptr);
// VMS messages (1,024 bytes): the first 16 rows by MSG_INDEX; texts cut to 48 bytes.
QByteArray LoadHVMSMsgs(const QSqlDatabase &db, int lcNo, TReaderError *error = nullptr);
// VMS schedules (160 bytes): the first 10 rows by INT_MSGINDEX.
QByteArray LoadHVMSSchds(const QSqlDatabase &db, int lcNo, TReaderError *error = nullptr);
// Countdown timers (32 bytes): the four state bits of each column.
QByteArray LoadHCarTimer(const QSqlDatabase &db, int lcNo, TReaderError *error = nullptr);
// Spillback entries (16 bytes) from SCS_M_INTSPILLBACK2: the first eight rows by
// INT_SPILLBACKINDEX; a nibble is the phase, plus 8 for ring 2.
QByteArray LoadHSpillBacks(const QSqlDatabase &db, int lcNo, TReaderError *error = nullptr);
