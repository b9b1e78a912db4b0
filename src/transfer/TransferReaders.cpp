#include "transfer/TransferReaders.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <functional>

#include "foundation/Cp949.h"
#include "foundation/LcLookupSql.h"
#include "foundation/QuorvalBase.h"

namespace {

// Runs a statement with named parameters; false (error noted) when it fails.
bool Open(QSqlQuery &q, const QString &sql, const QList<QPair<QString, QVariant>> &binds,
          TReaderError *error)
{
    q.setForwardOnly(true);
    bool ok = q.prepare(sql);
    if (ok) {
        for (const auto &b : binds)
            q.bindValue(b.first, b.second);
        ok = q.exec();
    }
    if (!ok && error) {
        if (!error->Text.isEmpty())
            error->Text += QLatin1Char('\n');
        const QString text = q.lastError().text().trimmed();
        error->Text += text.isEmpty() ? QStringLiteral("The statement could not run: %1").arg(sql.left(60)) : text;
    }
    return ok;
}

using TBinds = QList<QPair<QString, QVariant>>;

// Runs a statement of one intersection (bound to :INT_LCNO, with any further
// binds) and hands its rows, at most maxRows of them (-1: all), to `row`. Nothing
// runs for an intersection number below 1; a failed statement hands no row and
// notes its error.
void ForEachRow(const QSqlDatabase &db, int lcNo, const QString &sql, TReaderError *error,
                const std::function<void(const QSqlQuery &)> &row, int maxRows = -1,
                const TBinds &more = {})
{
    if (lcNo <= 0)
        return;
    QSqlQuery q(db);
    TBinds binds{{QStringLiteral(":INT_LCNO"), lcNo}};
    binds += more;
    if (!Open(q, sql, binds, error))
        return;
    for (int n = 0; (maxRows < 0 || n < maxRows) && q.next(); ++n)
        row(q);
}

// The same for rows placed by an index (column indexColumn): rows whose index
// lies outside lo..hi are skipped and reading goes on.
void ForEachIndexedRow(const QSqlDatabase &db, int lcNo, const QString &sql, int indexColumn, int lo, int hi,
                       TReaderError *error, const std::function<void(int, const QSqlQuery &)> &row,
                       const TBinds &more = {})
{
    ForEachRow(
        db, lcNo, sql, error,
        [&](const QSqlQuery &q) {
            const int index = VarToIntDef(q.value(indexColumn), 0);
            if (index >= lo && index <= hi)
                row(index, q);
        },
        -1, more);
}

quint8 B(const QSqlQuery &q, int i) { return quint8(VarToIntDef(q.value(i), 0)); }
int I(const QSqlQuery &q, int i) { return VarToIntDef(q.value(i), 0); }

quint8 *Data(QByteArray &a) { return reinterpret_cast<quint8 *>(a.data()); }

QString VehPedColumns(int pairs)
{
    QStringList c;
    for (int i = 1; i <= pairs; ++i)
        c << QStringLiteral("INT_VEH%1").arg(i) << QStringLiteral("INT_PED%1").arg(i);
    return c.join(QStringLiteral(", "));
}

} // namespace

namespace {
void Note(const QSqlError &e, TReaderError *error)
{
    if (!e.isValid() || !error)
        return;
    if (!error->Text.isEmpty())
        error->Text += QLatin1Char('\n');
    error->Text += e.text().trimmed();
}
} // namespace

TLcTypeEx ReadLcTypeEx(const QSqlDatabase &db, int lcNo, TReaderError *error)
{
    QSqlError e;
    const TLcTypeEx type = SelectLcTypeEx(db, lcNo, &e);
    Note(e, error);
    return type;
}

int ReadLcSaNo(const QSqlDatabase &db, int lcNo, TReaderError *error)
{
    QSqlError e;
    const int saNo = SelectLcSaNo(db, lcNo, &e);
    Note(e, error);
    return saNo;
}

QByteArray LoadHStartupCode(const QSqlDatabase &db, int lcNo, TLcTypeEx type, TReaderError *error)
{
    if (type == lct2004) {
        StartUpCode_2004 s = ZeroRecord<StartUpCode_2004>();
        QSqlQuery q(db);
        if (Open(q,
                 QStringLiteral("SELECT INT_DUALTIME, INT_SPILLCONT, INT_RING, INT_ACTYN, INT_GAPTIME, "
                                "INT_LMTLOS, INT_MANUALOPT, INT_GENMAIN, INT_GENDUAL, INT_SPCMAIN, INT_SPCDUAL "
                                "FROM SCS_M_INTSTARTUP WHERE INT_LCNO = :INT_LCNO"),
                 {{QStringLiteral(":INT_LCNO"), lcNo}}, error)
            && q.next()) {
            s.SetByte1Bits(1027, B(q, 0));
            s.SetByte1Bits(259, B(q, 1));
            s.SetByte1Bits(1, B(q, 2));
            s.SetByte2Bits(1028, B(q, 3));
            s.limit_occ = B(q, 4);
            s.limit_loss = B(q, 5);
            s.SetByte4Bits(1, B(q, 6));
            s.SetByte2Bits(4, B(q, 7));
            s.dual_phase_gen.Phase = B(q, 8);
            s.main_phase_diff = B(q, 9);
            s.dual_phase_diff.Phase = B(q, 10);
        }
        return RecordBytes(s);
    }
    StartUpCode_2010 s = ZeroRecord<StartUpCode_2010>();
    QSqlQuery q(db);
    if (Open(q,
             QStringLiteral(
                 "SELECT INT_FULLACT, INT_DUALTIME, INT_SPILLPROC, INT_SPILLCONT, INT_RING, INT_ACTYN, "
                 "INT_GAPTIME, INT_LMTLOS, INT_GENMAIN, INT_GENDUAL, INT_MANUALOPT, INT_NORMALPUSH, "
                 "INT_FLASHPUSH, INT_FLASHPUSHOP, INT_PUSHCYCLE, INT_SIGMAPMTD, INT_ACTPHASE1, "
                 "INT_ACTPHASE2, INT_SPCMAIN, INT_SPCDUAL, INT_SPC1DUAL, INT_SPC2DUAL, INT_SPC3DUAL, "
                 "INT_SPC4DUAL, INT_SPC5DUAL, INT_PREBUS, INT_JUMPPHASE, INT_PREEMERGENCY, "
                 "INT_CHECKMONTH, INT_POWERDIM, INT_POWERFLASH, INT_ARINGACT, INT_BRINGACT, "
                 "INT_VOICEYN, INT_DAYVOL, INT_NIGHTVOL, INT_VOICECYCLE, INT_NIGHTSTART, INT_NIGHTEND "
                 "FROM SCS_M_INTSTARTUP WHERE INT_LCNO = :INT_LCNO"),
             {{QStringLiteral(":INT_LCNO"), lcNo}}, error)
        && q.next()) {
        s.SetByte1Bits(1793, B(q, 0));
        s.SetByte1Bits(1027, B(q, 1));
        s.SetByte1Bits(769, B(q, 2));
        s.SetByte1Bits(258, B(q, 3));
        s.SetByte1Bits(1, B(q, 4));
        s.SetByte2Bits(1028, B(q, 5));
        s.limit_occ = B(q, 6);
        s.limit_loss = B(q, 7);
        s.SetByte2Bits(4, B(q, 8));
        s.dual_phase_gen.Phase = B(q, 9);
        s.SetByte4Bits(1, B(q, 10));
        s.SetByte4Bits(257, B(q, 11));
        s.SetByte4Bits(513, B(q, 12));
        s.SetByte4Bits(769, B(q, 13));
        s.SetByte4Bits(1025, B(q, 14));
        s.SetByte4Bits(1281, B(q, 15));
        s.SetByte4Bits(1537, B(q, 16));
        s.SetByte4Bits(1793, B(q, 17));
        s.main_phase_diff = B(q, 18);
        s.dual_phase_diff.Phase = B(q, 19);
        for (int i = 0; i < 5; ++i)
            s.dual_phase_diffs[i].Phase = B(q, 20 + i);
        s.SetByte5Bits(1281, B(q, 25));
        s.SetByte5Bits(1537, B(q, 26));
        s.SetByte5Bits(1793, B(q, 27));
        s.SetByte6Bits(1, B(q, 28));
        s.SetByte6Bits(1025, B(q, 29));
        s.SetByte6Bits(1281, B(q, 30));
        s.aring_act.Phase = B(q, 31);
        s.bring_act.Phase = B(q, 32);
        s.SetByte7Bits(1537, B(q, 33));
        s.SetByte7Bits(514, B(q, 34));
        s.SetByte7Bits(1026, B(q, 35));
        s.SetByte7Bits(2, B(q, 36));
        s.SetByte8Bits(3, B(q, 37));
        s.SetByte8Bits(771, B(q, 38));
    }
    return RecordBytes(s);
}

void LoadHSignalMapRing(const QSqlDatabase &db, int lcNo, TLcTypeEx type, int map, int ring,
                        QByteArray &block, TReaderError *error)
{
    if (map < 1 || map > SignalMapCount(type) || ring < 1 || ring > 2 || block.size() != SignalMapSize(type))
        return;
    ForEachIndexedRow(
        db, lcNo,
        QStringLiteral("SELECT INT_STEPNO, %1, INT_MINSPLIT, INT_MAXSPLIT, INT_EOP FROM SCS_M_INTSIGMAP "
                       "WHERE INT_LCNO = :INT_LCNO AND INT_PLANCLSS = :INT_PLANCLSS AND INT_RING = :INT_RING "
                       "ORDER BY INT_STEPNO")
            .arg(VehPedColumns(8)),
        0, 1, 32, error,
        [&](int step, const QSqlQuery &q) {
            quint8 *p = Data(block) + SignalStepOffset(map, ring, step);
            for (int i = 0; i < SignalStepSize; ++i)
                p[i] = B(q, 1 + i);
        },
        {{QStringLiteral(":INT_PLANCLSS"), map}, {QStringLiteral(":INT_RING"), ring}});
}

QByteArray LoadHSignalMap(const QSqlDatabase &db, int lcNo, TLcTypeEx type, TReaderError *error)
{
    QByteArray block(SignalMapSize(type), 0);
    for (int m = 1; m <= SignalMapCount(type); ++m)
        for (int r = 1; r <= 2; ++r)
            LoadHSignalMapRing(db, lcNo, type, m, r, block, error);
    return block;
}

QByteArray LoadHFlashMap(const QSqlDatabase &db, int lcNo, TLcTypeEx type, TReaderError *error)
{
    FlashMap_2004 f4 = ZeroRecord<FlashMap_2004>();
    FlashMap_2010 f10 = ZeroRecord<FlashMap_2010>();
    ForEachRow(db, lcNo,
               QStringLiteral("SELECT %1, INT_FLASHTIME, INT_VARIABCNTL FROM SCS_M_INTFLSMAP WHERE INT_LCNO = :INT_LCNO")
                   .arg(VehPedColumns(8)),
               error, [&](const QSqlQuery &q) { // the last row wins
                   if (type == lct2004) {
                       for (int i = 0; i < 12; ++i)
                           f4.ssr[i] = B(q, i);
                       f4.VL = B(q, 17);
                       f4.FL = B(q, 16);
                   } else {
                       for (int i = 0; i < 16; ++i)
                           f10.ssr[i] = B(q, i);
                       f10.FL = B(q, 16);
                   }
               });
    return type == lct2004 ? RecordBytes(f4) : RecordBytes(f10);
}

QByteArray LoadHDetector(const QSqlDatabase &db, int lcNo, TReaderError *error)
{
    QByteArray block(DetectorSize, 0);
    ForEachIndexedRow(db, lcNo,
                      QStringLiteral("SELECT TFDT_NO, TFDT_TYPE, TFDT_DIR, TFDT_POSITION, TFDT_LANE, TFDT_USE, "
                                     "TFDT_RING, TFDT_PHASE FROM SCS_M_TFDTOPERATE "
                                     "WHERE INT_LCNO = :INT_LCNO AND TFDT_REGFLAG = 1"),
                      0, 1, DetectorChannels, error, [&](int no, const QSqlQuery &q) {
                          quint8 *p = Data(block) + (no - 1) * DetectorEntrySize;
                          for (int i = 0; i < DetectorEntrySize; ++i)
                              p[i] = B(q, 1 + i);
                      });
    return block;
}

QByteArray LoadHDayPlan(const QSqlDatabase &db, int lcNo, int saNo, TReaderError *error)
{
    QByteArray block(DayPlanSize, 0);
    QStringList splits;
    for (int i = 1; i <= 8; ++i)
        splits << QStringLiteral("T.INT_ASPLIT%1").arg(i) << QStringLiteral("T.INT_BSPLIT%1").arg(i);
    QSqlQuery q(db);
    if (!Open(q,
              QStringLiteral(
                  "SELECT D.SA_DPLAN, D.SA_DPLANINDEX, D.SA_STARTHOUR, D.SA_STARTMIN, A.SA_CYCLELENGTH, "
                  "T2.INT_OFFSET, %1 FROM SCS_M_SADPLAN D "
                  "INNER JOIN SCS_M_SAAPLAN A ON A.SA_NO = D.SA_NO AND A.SA_APLAN = D.SA_DPLAN "
                  "AND A.SA_APLANINDEX = D.SA_CYCLE "
                  "INNER JOIN SCS_M_INTTPLAN T ON T.INT_LCNO = :INT_LCNO AND T.INT_TPLAN = D.SA_DPLAN "
                  "AND T.INT_TPLANINDEX = D.SA_SPLIT "
                  "LEFT JOIN SCS_M_INTTPLAN T2 ON T2.INT_LCNO = :INT_LCNO2 AND T2.INT_TPLAN = D.SA_DPLAN "
                  "AND T2.INT_TPLANINDEX = D.SA_OFFSET "
                  "WHERE D.SA_NO = :SA_NO AND D.SA_CYCLE > 0 ORDER BY D.SA_DPLAN, D.SA_DPLANINDEX")
                  .arg(splits.join(QStringLiteral(", "))),
              {{QStringLiteral(":INT_LCNO"), lcNo},
               {QStringLiteral(":INT_LCNO2"), lcNo},
               {QStringLiteral(":SA_NO"), saNo}},
              error))
        return block;
    int plan = -1;
    int entry = 0;
    while (q.next()) {
        const int p = I(q, 0);
        if (p < 1 || p > DayPlanCount)
            continue;
        if (p != plan) {
            plan = p;
            entry = 0;
        }
        if (entry >= 16) // a day plan holds 16 entries
            continue;
        const int part = entry / 8;
        quint8 *partStart = Data(block) + DayPlanPartOffset(p, part);
        partStart[0] = DayPlanRequestByte(p, part);
        quint8 *slot = partStart + 1 + (entry % 8) * DayPlanSlotSize;
        slot[0] = B(q, 2);
        slot[1] = B(q, 3);
        slot[2] = B(q, 4);
        slot[3] = B(q, 5);
        for (int i = 0; i < 16; ++i)
            slot[4 + i] = B(q, 6 + i);
        ++entry;
    }
    return block;
}

QByteArray LoadHWeekPlan(const QSqlDatabase &db, int lcNo, TReaderError *error)
{
    QByteArray block(WeekPlanSize, 0);
    ForEachIndexedRow(db, lcNo,
                      QStringLiteral("SELECT SA_WEEK, SA_DPLAN FROM SCS_M_SAWPLAN WHERE SA_NO = "
                                     "(SELECT INT_SANO FROM SCS_M_INTLC WHERE INT_LCNO = :INT_LCNO) ORDER BY SA_WEEK"),
                      0, 1, WeekPlanSize, error,
                      [&](int w, const QSqlQuery &q) { Data(block)[w - 1] = B(q, 1); });
    return block;
}

QByteArray LoadHHoliDayPlan(const QSqlDatabase &db, int lcNo, TReaderError *error)
{
    QByteArray block(HoliDayPlanSize, 0);
    ForEachIndexedRow(db, lcNo,
                      QStringLiteral("SELECT SA_MON, SA_DAY, SA_DPLAN, SA_HPLANINDEX FROM SCS_M_SAHPLAN WHERE SA_NO = "
                                     "(SELECT INT_SANO FROM SCS_M_INTLC WHERE INT_LCNO = :INT_LCNO) "
                                     "ORDER BY SA_HPLANINDEX"),
                      3, 1, HolidayEntries, error, [&](int i, const QSqlQuery &q) {
                          quint8 *p = Data(block) + (i - 1) * 3;
                          p[0] = B(q, 0);
                          p[1] = B(q, 1);
                          p[2] = B(q, 2);
                      });
    return block;
}

QByteArray LoadHFunctionTable(const QSqlDatabase &db, int lcNo, TReaderError *error)
{
    FunctionTables t = ZeroRecord<FunctionTables>();
    ForEachIndexedRow(db, lcNo,
                      QStringLiteral("SELECT INT_FPLANINDEX, INT_RSRVMONTH, INT_RSRVDAY, INT_RSRVWKD, INT_CNTLSTARTHOUR, "
                                     "INT_CNTLSTARTMIN, INT_CNTLENDHOUR, INT_CNTLENDMIN, INT_CNTLTYPE, INT_CNTLSPCNO "
                                     "FROM SCS_M_INTFPLAN WHERE INT_LCNO = :INT_LCNO ORDER BY INT_FPLANINDEX"),
                      0, 1, FunctionTableCount, error, [&](int i, const QSqlQuery &q) {
                          FunctionTable &f = t.Items[i - 1];
                          f.mm = B(q, 1);
                          f.dd = B(q, 2);
                          f.week = B(q, 3);
                          f.s_hh = B(q, 4);
                          f.s_mi = B(q, 5);
                          f.e_hh = B(q, 6);
                          f.e_mi = B(q, 7);
                          f.cntl = MakeFunctionTableCntl(I(q, 8), I(q, 9));
                      });
    return RecordBytes(t);
}

QByteArray LoadHInOutPed(const QSqlDatabase &db, int lcNo, int (*correct)[6], TReaderError *error)
{
    InOutPed m = ZeroRecord<InOutPed>();
    if (correct)
        for (int d = 0; d < 10; ++d)
            for (int o = 0; o < 6; ++o)
                correct[d][o] = 0;
    if (lcNo <= 0)
        return RecordBytes(m);
    ForEachIndexedRow(
        db, lcNo,
        QStringLiteral("SELECT INT_LCNO, INT_OUTDIR, INT_VEHYN, INT_PEDBIKEYN, INT_PEDYN, INT_INSTALLYN, "
                       "INT_GOLSU, INT_GOSORT, INT_LEFTYN, INT_LEFTSORT, INT_PEDLSU, INT_PEDSORT, "
                       "INT_BIKELSU, INT_BIKESORT, INT_RIGHTLSU, INT_RIGHTSORT, INT_BUSLSU, INT_BUSSORT, "
                       "INT_GENRING, INT_GENPHASE, INT_SPCRING, INT_SPCPHASE, INT_PEDSOLID, INT_PEDFLASH, "
                       "INT_PEDEXT FROM SCS_M_INTOUTPED WHERE INT_LCNO = :INT_LCNO ORDER BY INT_OUTDIR"),
        1, 1, 10, error, [&](int dir, const QSqlQuery &q) {
            InOutPed_DirEntry &e = m.InOutPed_Dir[dir - 1];
            std::memset(e.Bytes, 0, sizeof(e.Bytes));
            e.SetBits(0, 1, B(q, 2));
            e.SetBits(0, 257, B(q, 3));
            e.SetBits(0, 513, B(q, 4));
            e.SetBits(0, 770, B(q, 5));
            e.SetBits(0, 1283, dir <= 8 ? quint8(dir - 1) : quint8(0));
            for (int o = 0; o < 6; ++o) {
                int flag = 0;
                e.Bytes[1 + o] = PackInOutPedOutput(I(q, 6 + 2 * o), I(q, 7 + 2 * o), &flag);
                if (correct)
                    correct[dir - 1][o] = flag;
            }
            e.SetBits(10, 4, B(q, 18));
            e.SetBits(7, 4, B(q, 19));
            e.SetBits(10, 1028, B(q, 20));
            e.SetBits(7, 1028, B(q, 21));
            e.Bytes[8] = B(q, 22);
            e.Bytes[9] = B(q, 23);
            m.SetPedExtOf(dir, B(q, 24));
        });
    QStringList lamps;
    for (int n = 1; n <= 16; ++n)
        lamps << QStringLiteral("INT_LSU%1LAMP").arg(n, 2, 10, QLatin1Char('0'));
    ForEachRow(db, lcNo,
               QStringLiteral("SELECT %1 FROM SCS_M_INTLSU WHERE INT_LCNO = :INT_LCNO").arg(lamps.join(QStringLiteral(", "))),
               error,
               [&](const QSqlQuery &l) {
                   for (int n = 1; n <= 16; ++n)
                       m.SetLsuLampType(n, I(l, n - 1) != 0 ? 1 : 0);
               },
               1);
    return RecordBytes(m);
}

QByteArray LoadHConflictMap(const QSqlDatabase &db, int lcNo, TReaderError *error)
{
    QByteArray block(ConflictMapSize, 0);
    ForEachRow(db, lcNo,
               QStringLiteral("SELECT INT_LCNO, INT_YNO, INT_XNO, INT_CONFLICTYN FROM SCS_M_INTCONFLICT "
                              "WHERE INT_LCNO = :INT_LCNO"),
               error, [&](const QSqlQuery &q) { SetConflictBit(block, I(q, 1), I(q, 2), I(q, 3) != 0); });
    return block;
}

QByteArray LoadHVMSMsgs(const QSqlDatabase &db, int lcNo, TReaderError *error)
{
    TVMSMsgs msgs = ZeroRecord<TVMSMsgs>();
    int k = 0;
    ForEachRow(
        db, lcNo,
        QStringLiteral("SELECT MSG_INDEX, MSG_DIRECTION, MSG_TYPE, MSG_DISPTIME, MSG_FONT, MSG_TEXTCOLOR, "
                       "MSG_BACKCOLOR, MSG_BLINK, MSG_FUNCTYPE, MSG_DISPMODE, MSG_APPEARTYPE, "
                       "MSG_APPEARSPEED, MSG_DISAPPEARTYPE, MSG_DISAPPEARSPEED, MSG_MESSAGE "
                       "FROM SCS_M_VMSMESSAGE WHERE INT_LCNO = :INT_LCNO ORDER BY MSG_INDEX"),
        error,
        [&](const QSqlQuery &q) {
            TVMSMsg &m = msgs.Items[k++];
            m.FDirection = B(q, 1);
            m.FType = B(q, 2);
            m.FIndex = B(q, 0);
            m.FDispTime = B(q, 3);
            m.FFont = B(q, 4);
            m.FTextColor = B(q, 5);
            m.FBgColor = B(q, 6);
            m.FBlink = B(q, 7);
            m.FFuncType = B(q, 8);
            m.FDispMode = B(q, 9);
            m.FAppearType = B(q, 10);
            m.FAppearSpeed = B(q, 11);
            m.FDisappearType = B(q, 12);
            m.FDisappearSpeed = B(q, 13);
            const QByteArray text = ToCp949(Cp949Left(q.value(14).toString(), int(sizeof(m.FMessage))));
            std::memcpy(m.FMessage, text.constData(), size_t(qMin(text.size(), int(sizeof(m.FMessage)))));
        },
        16);
    return RecordBytes(msgs);
}

QByteArray LoadHVMSSchds(const QSqlDatabase &db, int lcNo, TReaderError *error)
{
    TVMSSchds s = ZeroRecord<TVMSSchds>();
    int k = 0;
    ForEachRow(
        db, lcNo,
        QStringLiteral("SELECT INT_MSGINDEX, INT_MSGMONTH, INT_MSGDAY, INT_MSGWKD, INT_STARTHOUR, "
                       "INT_STARTMIN, INT_ENDHOUR, INT_ENDMIN, INT_BRIGHT, INT_DIRECTION, INT_TYPE "
                       "FROM SCS_M_VMSSCHEDULE WHERE INT_LCNO = :INT_LCNO ORDER BY INT_MSGINDEX"),
        error,
        [&](const QSqlQuery &q) {
            quint8 *p = reinterpret_cast<quint8 *>(&s.Items[k++]);
            for (int i = 0; i < 10; ++i)
                p[i] = B(q, 1 + i);
        },
        10);
    return RecordBytes(s);
}

QByteArray LoadHCarTimer(const QSqlDatabase &db, int lcNo, TReaderError *error)
{
    QByteArray block(int(sizeof(TCarTimer)), 0);
    static const char *const dirs[16] = {"NN", "EE", "SS", "WW", "NE", "SE", "SW", "EW",
                                         "R1", "R2", "R3", "R4", "R5", "R6", "R7", "R8"};
    QStringList cols;
    for (const char *d : dirs)
        cols << QStringLiteral("`%1`").arg(QLatin1String(d));
    for (const char *d : dirs)
        cols << QStringLiteral("`%1L`").arg(QLatin1String(d));
    ForEachRow(
        db, lcNo,
        QStringLiteral("SELECT %1 FROM SCS_M_CARTIMER WHERE INT_LCNO = :INT_LCNO").arg(cols.join(QStringLiteral(", "))),
        error,
        [&](const QSqlQuery &q) {
            for (int j = 0; j < 32; ++j)
                Data(block)[j] = GetBitsByOneByte(B(q, j), 4);
        },
        1);
    return block;
}

QByteArray LoadHSpillBacks(const QSqlDatabase &db, int lcNo, TReaderError *error)
{
    TSpillBacks s = ZeroRecord<TSpillBacks>();
    int k = 0;
    ForEachRow(
        db, lcNo,
        QStringLiteral("SELECT INT_SPILLBACKINDEX, MAIN_RING, MAIN_PHASE, SUB_RING, SUB_PHASE "
                       "FROM SCS_M_INTSPILLBACK2 WHERE INT_LCNO = :INT_LCNO ORDER BY INT_SPILLBACKINDEX"),
        error,
        [&](const QSqlQuery &q) {
            TSpillBack &e = s.Items[k++];
            e.FDirection = B(q, 0);
            const quint8 mainNibble = quint8(I(q, 2) + (I(q, 1) == 2 ? 8 : 0));
            const quint8 subNibble = quint8(I(q, 4) + (I(q, 3) == 2 ? 8 : 0));
            e.Byte1 = SetBitsToOneByte(SetBitsToOneByte(0, 4, mainNibble), 1028, subNibble);
        },
        8);
    return RecordBytes(s);
}
