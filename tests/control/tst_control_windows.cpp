// The intersection and group control windows driven as an operator does, against the
// fixture database (demo city) and the centre-server simulator in-process: the bytes
// that reached the simulator, the result list, the control-command log and the
// operator-event rows.
#include <QLineEdit>
#include <QLabel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QListWidget>
#include <QSpinBox>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <QtEndian>

#include <memory>
#include <optional>

#include "control/ControlPacketUnit.h"
#include "control/ControlWidgets.h"
#include "centrelink/ExchangeLogUnit.h"
#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "centrelink/RC2MMIUnit.h"
#include "RcSim.h"
#include "RcSimEndpoint.h"
#include "rcsim_control.h"
#include "TestConsoleFolder.h"
#include "TestDb.h"
#include "core/siLang.h"
#include "core/untDM.h"
#include "control/untSA_C_Control.h"
#include "control/untTCDV_C_Control.h"
#include "centrelink/untTH_TCDV_C_Log.h"

namespace {

const QString kDb = QStringLiteral("control_windows");

QByteArray hex(const char *h) { return QByteArray::fromHex(h); }
QString u(const char *s) { return QString::fromUtf8(s); }

// A request as the simulator received it: opcode, kind, target (LE) and the data.
QByteArray req(int opcode, int kind, int target, const QByteArray &data)
{
    QByteArray b;
    b.append(char(opcode));
    b.append(char(kind));
    b.append(char(target & 0xFF));
    b.append(char((target >> 8) & 0xFF));
    return b + data;
}

// A record of `size` zero bytes with the given bytes set.
QByteArray record(int size, const QMap<int, int> &bytes)
{
    QByteArray b(size, '\0');
    for (auto it = bytes.begin(); it != bytes.end(); ++it)
        b[it.key()] = char(it.value());
    return b;
}

// "code|kind|value|target|text"
QString ev(int code, int kind, int value, int target, const QString &text)
{
    return QStringLiteral("%1|%2|%3|%4|%5").arg(code).arg(kind).arg(value).arg(target).arg(text);
}

QString tx(const char *key) { return siText(QStringLiteral("TfrmTCDV_C_Control"), QString::fromLatin1(key)); }

} // namespace

class TstControlWindows : public QObject
{
    Q_OBJECT

    QTemporaryDir FDir;
    std::unique_ptr<rcsim::RcSim> FSim;
    TRcEndpoint FEndpoint;
    std::unique_ptr<ScriptedMsgDlg> FMsg;
    TfrmTH_TCDV_C_Log *FLog = nullptr;
    TLC_INFO_SET FLcSet;
    QSqlDatabase FDb;

    QList<QByteArray> requests() const
    {
        QList<QByteArray> out;
        for (const rcsim::CapturedPacket &p : FSim->captured()) {
            if (!p.control || p.head.isClosing())
                continue;
            // Fixed header fields of every request: start bytes, console to server,
            // no frames, command = opcode, size = the data that followed.
            const rcsim::WireHead &h = p.head;
            if (!h.validStart() || h.src != 1 || h.dst != 2 || h.currentFrame || h.totalFrame || h.frameSeq
                || h.command != h.opcode || h.dsize != quint32(p.data.size()))
                out << QByteArray("bad header");
            out << req(p.head.opcode, p.head.kind, p.head.target, p.data);
        }
        return out;
    }

    QStringList events() const
    {
        QSqlQuery q(FDb);
        if (!q.exec(QStringLiteral("SELECT CTL_CODE, CTL_KIND, CTL_VALUE, CTL_NO, CTL_DESC, USER_ID, CTL_ALL "
                                   "FROM SCS_L_USERCONTROL")))
            qWarning("%s", qPrintable(q.lastError().text()));
        QStringList rows;
        while (q.next()) {
            rows << ev(q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toInt(),
                       q.value(4).toString());
            if (q.value(5).toString() != QLatin1String("tester") || q.value(6).toInt() != 0)
                rows << QStringLiteral("bad operator or all-flag");
        }
        rows.sort();
        return rows;
    }

    static QStringList lines(const QListWidget *list)
    {
        QStringList l;
        for (int i = 0; i < list->count(); ++i)
            l << list->item(i)->text().trimmed();
        return l;
    }

    // A failed run leaves one result line: its outcome (after " - ") names one of
    // `texts` and the log window shows it too.
    void verifyFailureLine(const QListWidget *list, const QStringList &texts, QString *outcomeOut = nullptr)
    {
        const QStringList shown = lines(list);
        QCOMPARE(shown.size(), 1);
        const QString outcome = shown.first().section(QStringLiteral(" - "), 1);
        if (outcomeOut)
            *outcomeOut = outcome;
        bool matched = false;
        for (const QString &t : texts)
            matched = matched || outcome.contains(t);
        QVERIFY2(matched, qPrintable(outcome));
        QVERIFY2(FLog->Lines().contains(QStringLiteral(">> ") + outcome), qPrintable(outcome));
    }

    void reset()
    {
        FSim->clearFailure();
        FSim->clearCapture();
        FMsg->clear();
        FLog->btnClearClick();
        QSqlQuery q(FDb);
        QVERIFY(q.exec(QStringLiteral("DELETE FROM SCS_L_USERCONTROL")));
    }

    void addLive(int lc, bool dualRing)
    {
        auto rec = std::make_shared<TSTT_LC_INFO>();
        rec->tcdv_id = lc;
        rec->dualRing = dualRing ? 1 : 0;
        FLcSet.SetLcInfo(lc, rec);
    }

    std::unique_ptr<TfrmTCDV_C_Control> openTcdv(const QList<int> &checked)
    {
        auto w = std::make_unique<TfrmTCDV_C_Control>();
        w->SetLcInfoSet(&FLcSet);
        w->show();
        for (int lc : checked) {
            QTreeWidgetItem *n = w->MatchNodeKey(QStringLiteral("%1-%2").arg(GetLcSaNo(lc)).arg(lc));
            if (!n)
                qWarning("no node for %d", lc);
            w->SetNodeChecked(n, true);
        }
        return w;
    }

    // Firmware record as the controller must receive it, from the register row.
    QByteArray firmwareRecord(int fwId, int mode, int reboot)
    {
        QSqlQuery q(FDb);
        q.prepare(QStringLiteral("SELECT FW_SIZE, FW_VER_MAJOR, FW_VER_MINOR, FW_VER_MODULE, FW_VER_REV, FW_CRC32 "
                                 "FROM SCS_M_FIRMWARE WHERE FW_ID = ?"));
        q.addBindValue(fwId);
        if (!q.exec() || !q.next())
            return QByteArray();
        QByteArray b(32, '\0');
        qToBigEndian<quint16>(quint16(fwId), b.data());
        qToBigEndian<quint32>(quint32(q.value(0).toUInt()), b.data() + 2);
        b[21] = char(q.value(1).toInt());
        b[22] = char(q.value(2).toInt());
        b[23] = char(q.value(3).toInt());
        qToBigEndian<quint16>(quint16(q.value(4).toInt()), b.data() + 24);
        b[26] = char(mode);
        b[27] = char(reboot);
        qToBigEndian<quint32>(q.value(5).toString().toUInt(nullptr, 16), b.data() + 28);
        return b;
    }

    // Settings of the intersection window, ";"-separated: opr=1, todtrc=1, ctrl=N,
    // fw=kind,mode,reboot, chx=<name>, holdomit=item,phase, spill=dir,main,sub,
    // timediff=plan, run=1, ppcmgr=N, tick=<row>...
    static void apply(TfrmTCDV_C_Control *w, const QString &setup)
    {
        for (const QString &part : setup.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString key = part.section(QLatin1Char('='), 0, 0);
            const QStringList v = part.section(QLatin1Char('='), 1).split(QLatin1Char(','));
            if (key == QLatin1String("opr"))
                w->grpTcdvOpr->SetItemIndex(v.at(0).toInt());
            else if (key == QLatin1String("todtrc"))
                w->grpTcdvTodTrc->SetItemIndex(v.at(0).toInt());
            else if (key == QLatin1String("ctrl"))
                w->cbxTcdvControlMode->setCurrentIndex(v.at(0).toInt());
            else if (key == QLatin1String("fw")) {
                w->rgpFWType->SetItemIndex(v.at(0).toInt());
                w->grpCondition->SetItemIndex(v.at(1).toInt());
                w->grpReboot->SetItemIndex(v.at(2).toInt());
            } else if (key == QLatin1String("chx"))
                w->findChild<QCheckBox *>(v.at(0))->setChecked(true);
            else if (key == QLatin1String("holdomit")) {
                w->grpPhaseHoldOmmitContainer->setChecked(true);
                w->grpPhaseHoldOmmit->SetItemIndex(v.at(0).toInt());
                w->edtHoldOmitPhaseNo->setValue(v.at(1).toInt());
            } else if (key == QLatin1String("spill")) {
                w->grpSpillBack->setChecked(true);
                w->cbxSpillBackDir->setCurrentIndex(v.at(0).toInt());
                w->edtMainSpillbackPhase->setValue(v.at(1).toInt());
                w->edtSubSpillbackPhase->setValue(v.at(2).toInt());
            } else if (key == QLatin1String("timediff")) {
                w->grpTimeDiff->setChecked(true);
                w->edtTime_diff->setValue(v.at(0).toInt());
            } else if (key == QLatin1String("run"))
                w->rgpRunType->SetItemIndex(v.at(0).toInt());
            else if (key == QLatin1String("ppcmgr"))
                w->edtPPCManager->setValue(v.at(0).toInt());
            else if (key == QLatin1String("tick")) {
                for (const QString &row : v)
                    w->gtvPPC->item(row.toInt(), TfrmTCDV_C_Control::colSel)->setCheckState(Qt::Checked);
            }
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(TestConsole::LoadLanguage());
        QVERIFY(TestDb::create(kDb, true));
        FDb = TestDb::open(kDb, QStringLiteral("tst_control"));
        QVERIFY(FDb.isOpen());

        QVERIFY(FDir.isValid());
        DM = TestConsole::OpenDataModule(FDir.path(), kDb);
        QVERIFY(DM);
        DM->G_ADMIN_MODE = true;

        QString error;
        FSim = TestRcSim::Start(FEndpoint, 600, rcsim::Options(), &error);
        QVERIFY2(FSim, qPrintable(error));

        FLog = new TfrmTH_TCDV_C_Log();
        FLog->SetAdminMode(true);
        FMsg = std::make_unique<ScriptedMsgDlg>(true);

        for (int lc : {1, 2, 4, 16, 17, 19})
            addLive(lc, true);
        addLive(3, false);
    }

    void cleanupTestCase()
    {
        SetCtrlEndpointOverride(nullptr);
        FMsg.reset();
        delete FLog;
        FLog = nullptr;
        FSim->stop();
        FSim.reset();
        delete DM;
        DM = nullptr;
    }

    // ------------------------------------------------------------------ tree

    void tree()
    {
        reset();
        auto w = openTcdv({});
        // Groups 1..4 with their registered intersections, texts "%.4d name".
        QCOMPARE(w->VST->topLevelItemCount(), 4);
        QTreeWidgetItem *g1 = w->MatchNodeKey(QStringLiteral("1"));
        QVERIFY(g1);
        QCOMPARE(g1->childCount(), 10);
        QCOMPARE(g1->child(0)->text(0), u("0001 신사역사거리"));
        QCOMPARE(TfrmTCDV_C_Control::NodeData(g1->child(2)).TreeType, 2004);
        QCOMPARE(TfrmTCDV_C_Control::NodeData(g1->child(0)).TreeType, 2010);

        // Checking a group checks its intersections, in tree order; unchecking one
        // leaves the parent partly checked.
        w->SetNodeChecked(g1, true);
        QCOMPARE(w->SelectedList(), (QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
        w->SetNodeChecked(g1->child(4), false);
        QCOMPARE(g1->checkState(0), Qt::PartiallyChecked);
        QVERIFY(!w->SelectedList().contains(QStringLiteral("5")));
        QCOMPARE(w->SelectedList().size(), 9);

        // Select all, then uncheck one: all but that one.
        w->CheckAllNodes(true);
        const int all = w->SelectedList().size();
        QVERIFY(all > 30);
        w->SetNodeChecked(w->MatchNodeKey(QStringLiteral("2-16")), false);
        QCOMPARE(w->SelectedList().size(), all - 1);
        QVERIFY(!w->SelectedList().contains(QStringLiteral("16")));
        w->CheckAllNodes(false);
        QVERIFY(w->SelectedList().isEmpty());
        QCOMPARE(w->gtvPPC->rowCount(), 0);

        // A group whose intersections are all out of use gets no node.
        QSqlQuery q(FDb);
        QVERIFY(q.exec(QStringLiteral("UPDATE SCS_M_INTLC SET INT_REGFLAG = 0 WHERE INT_SANO = 4")));
        w->LoadTree();
        QVERIFY(!w->MatchNodeKey(QStringLiteral("4")));
        QVERIFY(q.exec(QStringLiteral("UPDATE SCS_M_INTLC SET INT_REGFLAG = 1 WHERE INT_SANO = 4")));

        // Focus text of group and intersection nodes.
        w->VST->setCurrentItem(w->MatchNodeKey(QStringLiteral("2-16")));
        QCOMPARE(w->pnlSelNodeDesc->text(), u("그룹 : 2, 교차로 : 16"));
        w->VST->setCurrentItem(w->MatchNodeKey(QStringLiteral("2")));
        QCOMPARE(w->pnlSelNodeDesc->text(), u("그룹 : 2"));
    }

    void openedOnAnIntersection()
    {
        reset();
        TfrmTCDV_C_Control w;
        w.SetLcInfoSet(&FLcSet);
        w.SetSA_ID(2);
        w.SetTCDV_ID(17);
        w.show();
        QCOMPARE(w.edtTCDV->text(), QStringLiteral("17"));
        QCOMPARE(w.SelectedList(), QStringList{QStringLiteral("17")});
        QCOMPARE(TfrmTCDV_C_Control::NodeData(w.VST->currentItem()).ID, 17);
        // Its priority entries are listed at once.
        QCOMPARE(w.gtvPPC->rowCount(), 4);
    }

    void intersection300()
    {
        reset();
        QSqlQuery q(FDb);
        QVERIFY(q.exec(QStringLiteral("INSERT INTO SCS_M_INTLC (INT_LCNO, INT_NAME, INT_IMPORFLAG, INT_LCTYPE, "
                                      "INT_SANO, INT_SAINDEX, INT_REGFLAG) VALUES (300, 'LC300', 0, 2, 1, 99, 1)")));
        QVERIFY(q.exec(QStringLiteral("INSERT INTO SCS_M_INTPPC (INT_LCNO, PPC_MANAGER, PPC_NUMBER, PPCN_COMMENTS) "
                                      "VALUES (300, 2, 740, 'x')")));
        {
            auto w = openTcdv({300});
            QCOMPARE(w->SelectedList(), QStringList{QStringLiteral("300")});
            QCOMPARE(w->gtvPPC->rowCount(), 1);
            QCOMPARE(w->gtvPPC->item(0, TfrmTCDV_C_Control::colInt)->text(), QStringLiteral("300"));
            FMsg->enqueue(mrYes);
            w->actTcdvTodTrc->trigger();
            QCOMPARE(requests(), QList<QByteArray>{req(0xEA, 1, 300, hex("00"))});
        }
        QVERIFY(q.exec(QStringLiteral("DELETE FROM SCS_M_INTPPC WHERE INT_LCNO = 300")));
        QVERIFY(q.exec(QStringLiteral("DELETE FROM SCS_M_INTLC WHERE INT_LCNO = 300")));
    }

    void ppcList()
    {
        reset();
        auto w = openTcdv({16, 3});
        // The 2004 intersection has none; the 2010 one its four entries in order.
        QCOMPARE(w->gtvPPC->rowCount(), 4);
        QCOMPARE(w->gtvPPC->item(0, TfrmTCDV_C_Control::colInt)->text(), QStringLiteral("16"));
        QCOMPARE(w->gtvPPC->item(0, TfrmTCDV_C_Control::colNumber)->text(), QStringLiteral("119001"));
        QCOMPARE(w->gtvPPC->item(0, TfrmTCDV_C_Control::colType)->text(), u("긴급"));
        QCOMPARE(w->gtvPPC->item(2, TfrmTCDV_C_Control::colType)->text(), u("버스"));
        QCOMPARE(w->gtvPPC->item(0, TfrmTCDV_C_Control::colSel)->checkState(), Qt::Unchecked);
        // Agency look-up.
        w->edtPPCManager->setValue(2);
        w->actPPCManagerGetList->trigger();
        QCOMPARE(w->cxVerGridPPC->item(0, 0)->text(), QStringLiteral("2"));
        QCOMPARE(w->cxVerGridPPC->item(1, 0)->text(), u("버스"));
        QCOMPARE(w->cxVerGridPPC->item(2, 0)->text(), u("서울시 간선버스"));
        w->edtPPCManager->setValue(9);
        w->actPPCManagerGetList->trigger();
        QCOMPARE(w->cxVerGridPPC->item(0, 0)->text(), QString());
    }

    // ------------------------------------------------------------------ commands

    void lcCommands_data()
    {
        QTest::addColumn<QList<int>>("checked");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("ask");
        QTest::addColumn<QList<QByteArray>>("sent");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("shown");

        const QString opr = u("교차로운영모드 설정");
        const QString tt = u("교차로TOD/TRC 설정");
        const QString ic = u("교차로개입제어");
        QTest::newRow("operating mode, centre")
            << QList<int>{1} << "" << "actTcdvOpr" << true << QList<QByteArray>{req(0xE8, 1, 1, hex("80"))}
            << QStringList{ev(41, 1, 166, 1, opr + u("(센터모드):성공"))}
            << QStringList{u("신사역사거리 - ") + opr + u(", 리턴값=센터모드")};
        QTest::newRow("operating mode, local, two intersections")
            << QList<int>{1, 3} << "opr=1" << "actTcdvOpr" << true
            << QList<QByteArray>{req(0xE8, 1, 1, hex("40")), req(0xE8, 1, 3, hex("40"))}
            << QStringList{ev(41, 1, 165, 1, opr + u("(로컬모드):성공")), ev(41, 1, 165, 3, opr + u("(로컬모드):성공"))}
            << QStringList{u("신사역사거리 - ") + opr + u(", 리턴값=로컬모드"), u("도산공원사거리 - ") + opr + u(", 리턴값=로컬모드")};
        QTest::newRow("TOD") << QList<int>{1} << "" << "actTcdvTodTrc" << true
                             << QList<QByteArray>{req(0xEA, 1, 1, hex("00"))}
                             << QStringList{ev(41, 1, 168, 1, tt + u("(TOD):성공"))}
                             << QStringList{u("신사역사거리 - ") + tt + u(", 리턴값=TOD")};
        QTest::newRow("TRC, 2004") << QList<int>{3} << "todtrc=1" << "actTcdvTodTrc" << true
                                   << QList<QByteArray>{req(0xEA, 1, 3, hex("01"))}
                                   << QStringList{ev(41, 1, 169, 3, tt + u("(TRC):성공"))}
                                   << QStringList{u("도산공원사거리 - ") + tt + u(", 리턴값=TRC")};
        QTest::newRow("control mode, 2010 dual ring")
            << QList<int>{1} << "ctrl=2" << "actTcdvControlMode" << true
            << QList<QByteArray>{req(0x10, 1, 1, hex("021092000000"))} << QStringList{}
            << QStringList{u("신사역사거리 - 제어모드 설정 : 성공")};
        QTest::newRow("control mode, 2004 single ring")
            << QList<int>{3} << "ctrl=4" << "actTcdvControlMode" << true
            << QList<QByteArray>{req(0x10, 1, 3, hex("011016000000"))} << QStringList{}
            << QStringList{u("도산공원사거리 - 제어모드 설정 : 성공")};
        QTest::newRow("control mode, no live record")
            << QList<int>{5} << "ctrl=1" << "actTcdvControlMode" << true << QList<QByteArray>{} << QStringList{}
            << QStringList{u("청담사거리 - 제어모드 설정 : ") + tx("IDS_NoLiveRecord")};

        // Special command: every item, both controller types.
        struct Item { const char *chx; int offset; int value; const char *text; };
        const Item items[] = {{"chxShutdown", 0, 128, "소등"},       {"chxFlash", 1, 64, "점멸"},
                              {"chxFrenzy_ctl", 2, 32, "조광제어"},  {"chxConfl_dtr", 3, 16, "모순검지"},
                              {"chxManual", 4, 8, "수동조작"},       {"chxConfl_reset", 5, 4, "모순해제"},
                              {"chxScu_reset", 6, 2, "SCU리셋"},     {"chxMcu_reset", 7, 1, "MCU리셋"},
                              {"chxActive_start", 14, 162, "감응제어"}};
        for (const Item &it : items) {
            QTest::newRow(qPrintable(QStringLiteral("special %1, 2010").arg(QLatin1String(it.chx))))
                << QList<int>{1} << QStringLiteral("chx=%1").arg(QLatin1String(it.chx)) << "actTcdvMan" << true
                << QList<QByteArray>{req(0x50, 1, 1, hex("0250") + record(35, {{it.offset, 1}, {16, 1}}))}
                << QStringList{ev(41, 1, it.value, 1, u(it.text) + u("(수행):성공"))}
                << QStringList{u("신사역사거리 - ") + ic + u(" : 성공")};
            QTest::newRow(qPrintable(QStringLiteral("special %1, 2004").arg(QLatin1String(it.chx))))
                << QList<int>{3} << QStringLiteral("chx=%1;run=1").arg(QLatin1String(it.chx)) << "actTcdvMan" << true
                << QList<QByteArray>{req(0x50, 1, 3, hex("0150") + record(22, {{it.offset, 1}}))}
                << QStringList{ev(41, 1, it.value, 3, u(it.text) + u("(수행종료):성공"))}
                << QStringList{u("도산공원사거리 - ") + ic + u(" : 성공")};
        }
        QTest::newRow("special push-ped on 2010 and 2004")
            << QList<int>{1, 3} << "chx=chxPed_btn" << "actTcdvMan" << true
            << QList<QByteArray>{req(0x50, 1, 1, hex("0250") + record(35, {{9, 1}, {16, 1}})),
                                 req(0x50, 1, 3, hex("0150") + record(22, {{16, 1}}))}
            << QStringList{ev(41, 1, 170, 1, u("보행자버튼(수행):성공"))}
            << QStringList{u("신사역사거리 - ") + ic + u(" : 성공"), u("도산공원사거리 - ") + ic + u(" : 성공")};
        QTest::newRow("special EMAP 8 on 2010 and 2004")
            << QList<int>{1, 3} << "timediff=8" << "actTcdvMan" << true
            << QList<QByteArray>{req(0x50, 1, 1, hex("0250") + record(35, {{15, 1}, {16, 1}, {18, 8}})),
                                 req(0x50, 1, 3, hex("0150") + record(22, {{15, 1}, {16, 1}}))}
            << QStringList{ev(41, 1, 161, 1, u("시차제 #1(수행):성공")), ev(41, 1, 161, 3, u("시차제 #1(수행):성공"))}
            << QStringList{u("신사역사거리 - ") + ic + u(" : 성공"), u("도산공원사거리 - ") + ic + u(" : 성공")};
        QTest::newRow("special omit phase 3")
            << QList<int>{1} << "holdomit=1,3" << "actTcdvMan" << true
            << QList<QByteArray>{req(0x50, 1, 1, hex("0250") + record(35, {{12, 1}, {16, 1}, {17, 3}}))}
            << QStringList{ev(41, 1, 164, 1, u("3현시생략(수행):성공"))}
            << QStringList{u("신사역사거리 - ") + ic + u(" : 성공")};
        QTest::newRow("special hold phase 6")
            << QList<int>{3} << "holdomit=0,6" << "actTcdvMan" << true
            << QList<QByteArray>{req(0x50, 1, 3, hex("0150") + record(22, {{13, 1}, {16, 1}, {17, 6}}))}
            << QStringList{ev(41, 1, 163, 3, u("6현시유지(수행):성공"))}
            << QStringList{u("도산공원사거리 - ") + ic + u(" : 성공")};
        QTest::newRow("special spillback south-west")
            << QList<int>{1} << "spill=6,4,12" << "actTcdvMan" << true
            << QList<QByteArray>{req(0x50, 1, 1, hex("0250") + record(35, {{11, 1}, {16, 1}, {19, 7}, {20, 4}, {21, 12}}))}
            << QStringList{ev(41, 1, 167, 1, u("앞막힘 주P=4, 부P=12(수행):성공"))}
            << QStringList{u("신사역사거리 - ") + ic + u(" : 성공")};
        QTest::newRow("special several items, one exchange")
            << QList<int>{1} << "chx=chxFlash;chx=chxMcu_reset" << "actTcdvMan" << true
            << QList<QByteArray>{req(0x50, 1, 1, hex("0250") + record(35, {{1, 1}, {7, 1}, {16, 1}}))}
            << QStringList{ev(41, 1, 1, 1, u("MCU리셋(수행):성공")), ev(41, 1, 64, 1, u("점멸(수행):성공"))}
            << QStringList{u("신사역사거리 - ") + ic + u(" : 성공")};

        // Firmware upgrade from the register rows of each intersection.
        const QString fw = u("펌웨어 업그레이드");
        QTest::newRow("firmware MCU")
            << QList<int>{1} << "fw=0,0,0" << "actTcdvFWUpgrade" << true
            << QList<QByteArray>{req(0x56, 1, 1, hex("0256") + QByteArray("fw:10101:0:0"))}
            << QStringList{ev(41, 1, 172, 1, fw + u("(상위 버전 업그레이드, 안함):성공"))}
            << QStringList{u("신사역사거리 - ") + fw + u(", 리턴값=No error")};
        QTest::newRow("firmware SCU, forced, restart")
            << QList<int>{2} << "fw=1,1,1" << "actTcdvFWUpgrade" << true
            << QList<QByteArray>{req(0x56, 1, 2, hex("0256") + QByteArray("fw:20201:1:1"))}
            << QStringList{ev(41, 1, 172, 2, fw + u("(강제 업그레이드, 재시작):성공"))}
            << QStringList{u("을지병원사거리 - ") + fw + u(", 리턴값=No error")};
        QTest::newRow("firmware: none registered, nothing of another sent")
            << QList<int>{1, 2, 3} << "fw=0,0,2" << "actTcdvFWUpgrade" << true
            << QList<QByteArray>{req(0x56, 1, 1, hex("0256") + QByteArray("fw:10101:0:2")),
                                 req(0x56, 1, 2, hex("0256") + QByteArray("fw:10201:0:2"))}
            << QStringList{ev(41, 1, 172, 1, fw + u("(상위 버전 업그레이드, 업그레이드 취소):성공")),
                           ev(41, 1, 172, 2, fw + u("(상위 버전 업그레이드, 업그레이드 취소):성공")),
                           ev(41, 1, 172, 3, fw + u("(상위 버전 업그레이드, 업그레이드 취소):실패"))}
            << QStringList{u("신사역사거리 - ") + fw + u(", 리턴값=No error"),
                           u("을지병원사거리 - ") + fw + u(", 리턴값=No error"),
                           u("도산공원사거리 - ") + fw + u(" : ") + tx("IDS_NoFirmware")};

        // Priority lists (2010 only; no question).
        QTest::newRow("register two ticked rows of one intersection")
            << QList<int>{16, 3} << "tick=0,2" << "actPPCAdd" << false
            << QList<QByteArray>{req(0x50, 1, 16, hex("0250") + record(35, {{24, 1}, {26, 1}, {28, 0}, {30, 1}, {31, 0xD9}, {32, 0xD0}, {33, 0x01}})),
                                 req(0x50, 1, 16, hex("0250") + record(35, {{24, 1}, {26, 1}, {28, 1}, {30, 2}, {31, 146}}))}
            << QStringList{}
            << QStringList{u("강남역사거리 - 선택등록 : 성공"), u("강남역사거리 - 선택등록 : 성공")};
        QTest::newRow("delete a ticked row")
            << QList<int>{16} << "tick=3" << "actPPCDel" << false
            << QList<QByteArray>{req(0x50, 1, 16, hex("0250") + record(35, {{27, 1}, {31, 0x68}, {32, 0x01}}))}
            << QStringList{} << QStringList{u("강남역사거리 - 선택삭제 : 성공(360)")};
        QTest::newRow("delete all on three 2010 intersections, 2004 skipped")
            << QList<int>{16, 17, 18, 19} << "" << "actPPCAllDel" << false
            << QList<QByteArray>{req(0x50, 1, 16, hex("0250") + record(35, {{8, 1}, {16, 2}, {25, 1}, {30, 255}})),
                                 req(0x50, 1, 17, hex("0250") + record(35, {{8, 1}, {16, 2}, {25, 1}, {30, 255}})),
                                 req(0x50, 1, 19, hex("0250") + record(35, {{8, 1}, {16, 2}, {25, 1}, {30, 255}}))}
            << QStringList{ev(41, 1, 171, 16, u("PPC보드(수행종료):성공")), ev(41, 1, 171, 17, u("PPC보드(수행종료):성공")),
                           ev(41, 1, 171, 19, u("PPC보드(수행종료):성공"))}
            << QStringList{u("강남역사거리 - 모두삭제 : 성공"), u("역삼역사거리 - 모두삭제 : 성공"),
                           u("선릉역사거리 - 모두삭제 : 성공")};
        QTest::newRow("read the list of agency 2")
            << QList<int>{17} << "ppcmgr=2" << "actPPCGetList" << false
            << QList<QByteArray>{req(0x50, 1, 17, hex("0250") + record(35, {{8, 1}, {16, 2}, {23, 1}, {30, 2}}))}
            << QStringList{ev(41, 1, 171, 17, u("PPC보드(수행종료):성공"))}
            << QStringList{u("역삼역사거리 - 목록가져오기 : 성공")};
    }

    void lcCommands()
    {
        QFETCH(QList<int>, checked);
        QFETCH(QString, setup);
        QFETCH(QString, action);
        QFETCH(bool, ask);
        QFETCH(QList<QByteArray>, sent);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, shown);
        reset();
        auto w = openTcdv(checked);
        apply(w.get(), setup);
        if (ask)
            FMsg->enqueue(mrYes);
        w->findChild<QAction *>(action)->trigger();
        QVERIFY(!w->Doing());
        QVERIFY(w->actTcdvOpr->isEnabled());

        // Firmware records are given as "fw:<id>:<mode>:<reboot>" and built from the register.
        for (QByteArray &s : sent) {
            const int at = int(s.indexOf("fw:"));
            if (at < 0)
                continue;
            const QList<QByteArray> p = s.mid(at + 3).split(':');
            s = s.left(at) + firmwareRecord(p.at(0).toInt(), p.at(1).toInt(), p.at(2).toInt());
        }
        QCOMPARE(requests(), sent);
        rows.sort();
        QCOMPARE(events(), rows);
        QCOMPARE(lines(w->lsbMsgList), shown);
        // Each outcome is also the result line of the control-command log.
        const QStringList log = FLog->Lines();
        for (const QString &line : shown)
            QVERIFY2(log.contains(QStringLiteral(">> ") + line.section(QStringLiteral(" - "), 1)), qPrintable(line));
        // One question (when asked) and no other box.
        QCOMPARE(FMsg->count(), ask ? 1 : 0);
    }

    void nothingChecked_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("text");
        for (const char *a : {"actTcdvOpr", "actTcdvTodTrc", "actTcdvControlMode", "actTcdvFWUpgrade", "actTcdvMan",
                              "actPPCAdd", "actPPCDel", "actPPCAllDel", "actPPCGetList"})
            QTest::newRow(a) << a << u("제어대상 교차로를 선택(체크)하세요.");
    }
    void nothingChecked()
    {
        QFETCH(QString, action);
        QFETCH(QString, text);
        reset();
        auto w = openTcdv({});
        w->chxFlash->setChecked(true);
        w->findChild<QAction *>(action)->trigger();
        QCOMPARE(FMsg->count(), 1);
        QCOMPARE(FMsg->last().text, text);
        QCOMPARE(FMsg->last().kind, mkInformation);
        QVERIFY(requests().isEmpty());
    }

    void specialWithoutChoice()
    {
        reset();
        auto w = openTcdv({1});
        w->edtHoldOmitPhaseNo->setValue(4); // inside an unticked box: not a choice
        w->actTcdvMan->trigger();
        QCOMPARE(FMsg->count(), 1);
        QCOMPARE(FMsg->last().text, u("제어방법을 선택하세요."));
        QVERIFY(requests().isEmpty());
        // Answering No to the question sends nothing either.
        FMsg->clear();
        w->chxFlash->setChecked(true);
        FMsg->enqueue(mrNo);
        w->actTcdvMan->trigger();
        QCOMPARE(FMsg->count(), 1);
        QVERIFY(requests().isEmpty());
        QVERIFY(events().isEmpty());
    }

    // ------------------------------------------------------------------ failures

    void failures_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("texts"); // the outcome is one of these
        QTest::addColumn<bool>("eventRow");
        using F = rcsim::FailMode;
        const QString connect = u("RC연결 실패"), send = u("데이터전송 실패"), receive = u("데이터수신 실패"),
                      size = u("수신데이터 크기 에러"), opcode = u("zuzi헤더의 OP코드 오류"), refused = tx("IDS_Refused");
        struct Cmd { const char *name; bool row; };
        const Cmd cmds[] = {{"opr", true}, {"ctrl", false}, {"fw", true}, {"special", true}, {"ppc", true}};
        for (const Cmd &c : cmds) {
            const QString n = QLatin1String(c.name);
            QTest::newRow(qPrintable(n + " refused connection")) << int(F::Refuse) << n << QStringList{connect} << c.row;
            QTest::newRow(qPrintable(n + " closed mid-reply")) << int(F::CloseMidReply) << n << QStringList{receive} << c.row;
            QTest::newRow(qPrintable(n + " stalled")) << int(F::Stall) << n << QStringList{receive} << c.row;
            QTest::newRow(qPrintable(n + " oversized")) << int(F::OversizedData) << n << QStringList{receive} << c.row;
            QTest::newRow(qPrintable(n + " reset on accept"))
                << int(F::ResetOnAccept) << n << QStringList{send, receive, connect} << c.row;
        }
        // Only the closing step failed (99994): the size check refuses the reply.
        for (const Cmd &c : cmds)
            if (QLatin1String(c.name) != QLatin1String("special"))
                QTest::newRow(qPrintable(QLatin1String(c.name) + QStringLiteral(" reset after the reply")))
                    << int(F::ResetAfterReply) << QString::fromLatin1(c.name) << QStringList{size} << c.row;
        QTest::newRow("opr short") << int(F::ShortData) << "opr" << QStringList{size, receive} << true;
        QTest::newRow("ctrl short") << int(F::ShortData) << "ctrl" << QStringList{size} << false;
        QTest::newRow("fw short") << int(F::ShortData) << "fw" << QStringList{size} << true;
        QTest::newRow("ppc short") << int(F::ShortData) << "ppc" << QStringList{size} << true;
        QTest::newRow("ctrl wrong opcode") << int(F::WrongOpcode) << "ctrl" << QStringList{opcode} << false;
        QTest::newRow("special wrong opcode") << int(F::WrongOpcode) << "special" << QStringList{opcode} << true;
        QTest::newRow("ppc wrong opcode") << int(F::WrongOpcode) << "ppc" << QStringList{opcode} << true;
        QTest::newRow("ctrl refusal byte") << int(F::RefusalByte) << "ctrl" << QStringList{size} << false;
        QTest::newRow("special refusal byte") << int(F::RefusalByte) << "special" << QStringList{refused} << true;
        QTest::newRow("ppc refusal byte") << int(F::RefusalByte) << "ppc" << QStringList{refused} << true;
        // A wrong reply opcode shows the returned value; the event row says "실패".
        QTest::newRow("opr wrong opcode") << int(F::WrongOpcode) << "opr" << QStringList{u("리턴값=센터모드")} << true;
        QTest::newRow("fw wrong opcode") << int(F::WrongOpcode) << "fw" << QStringList{u("리턴값=No error")} << true;
    }

    void failures()
    {
        QFETCH(int, mode);
        QFETCH(QString, command);
        QFETCH(QStringList, texts);
        QFETCH(bool, eventRow);
        reset();
        const int lc = command == QLatin1String("ppc") ? 16 : 1;
        auto w = openTcdv({lc});
        FSim->setFailure(rcsim::FailMode(mode), rcsim::PortScope::Control);
        QAction *a = nullptr;
        if (command == QLatin1String("opr")) {
            a = w->actTcdvOpr;
        } else if (command == QLatin1String("ctrl")) {
            w->cbxTcdvControlMode->setCurrentIndex(3);
            a = w->actTcdvControlMode;
        } else if (command == QLatin1String("fw")) {
            a = w->actTcdvFWUpgrade;
        } else if (command == QLatin1String("special")) {
            w->chxFlash->setChecked(true);
            a = w->actTcdvMan;
        } else {
            a = w->actPPCAllDel;
        }
        if (command != QLatin1String("ppc"))
            FMsg->enqueue(mrYes);
        {
            std::optional<TestRcSim::TCutBeforeNextWrite> order; // as in groupFailures
            if (mode == int(rcsim::FailMode::ResetAfterReply))
                order.emplace(FSim.get(), QStringLiteral(",RESULT,"));
            a->trigger();
        }
        FSim->clearFailure();

        QString outcome;
        verifyFailureLine(w->lsbMsgList, texts, &outcome);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(!outcome.endsWith(u(": 성공")));
        const QStringList rows = events();
        if (eventRow) {
            QCOMPARE(rows.size(), 1);
            QVERIFY2(rows.first().endsWith(u(":실패")), qPrintable(rows.first()));
        } else {
            QVERIFY(rows.isEmpty());
        }
    }

    void firmwareResultFromController()
    {
        reset();
        FSim->setHandler(0x56, [](const rcsim::Request &r) {
            rcsim::Reply reply = rcsim::RcSim::genericReply(r);
            reply.data = hex("0257") + QByteArray(1, char(7));
            reply.statusIndex = -1;
            return reply;
        });
        auto w = openTcdv({1});
        FMsg->enqueue(mrYes);
        w->actTcdvFWUpgrade->trigger();
        QCOMPARE(lines(w->lsbMsgList), QStringList{u("신사역사거리 - 펌웨어 업그레이드, 리턴값=제조사 구분 오류코드(7)")});
        QCOMPARE(events(), QStringList{ev(41, 1, 172, 1, u("펌웨어 업그레이드(상위 버전 업그레이드, 안함):실패"))});
        rcsim::installControlReplies(*FSim); // back to the simulator's own reply
    }

    void firmwareWithBadCrc()
    {
        reset();
        QSqlQuery q(FDb);
        QVERIFY(q.exec(QStringLiteral("UPDATE SCS_M_FIRMWARE SET FW_CRC32 = 'XYZ' WHERE FW_ID = 10201")));
        auto w = openTcdv({2});
        FMsg->enqueue(mrYes);
        w->actTcdvFWUpgrade->trigger();
        QVERIFY(requests().isEmpty());
        QCOMPARE(lines(w->lsbMsgList), QStringList{u("을지병원사거리 - 펌웨어 업그레이드 : ") + tx("IDS_BadFirmwareCrc")});
        // The upgrade that was not sent is still the operator's command: one row, failed.
        QCOMPARE(events(), QStringList{ev(41, 1, 172, 2, u("펌웨어 업그레이드(상위 버전 업그레이드, 안함):실패"))});
        QVERIFY(q.exec(QStringLiteral("UPDATE SCS_M_FIRMWARE SET FW_CRC32 = LPAD(HEX(CRC32(FW_BINARY)), 8, '0') "
                                      "WHERE FW_ID = 10201")));
    }

    void closeWaitsForTheRun()
    {
        reset();
        auto w = openTcdv({1, 2});
        FSim->setFailure(rcsim::FailMode::Stall, rcsim::PortScope::Control);
        bool visibleAfterClose = false;
        QTimer::singleShot(150, w.get(), [&] {
            w->close();
            visibleAfterClose = w->isVisible();
        });
        FMsg->enqueue(mrYes);
        w->actTcdvOpr->trigger();
        FSim->clearFailure();
        QVERIFY(visibleAfterClose);
        // Both intersections were commanded, then the window closed.
        QCOMPARE(requests().size(), 2);
        QCOMPARE(events().size(), 2);
        QVERIFY(!w->isVisible());
        QVERIFY(!w->Doing());
    }

    void bigEndianServer()
    {
        // The header follows the server's order; the firmware record stays big-endian
        // and the priority-list number little-endian.
        rcsim::Options o;
        o.bigEndian = true;
        rcsim::RcSim big(o);
        QVERIFY(big.start());
        TRcEndpoint ep = FEndpoint;
        ep.port = big.ctrlPort();
        SetCtrlEndpointOverride(&ep);
        SetServerBigEndian(true);
        reset();
        {
            auto w = openTcdv({1, 16});
            FMsg->enqueue(mrYes);
            w->actTcdvFWUpgrade->trigger();
            w->SetNodeChecked(w->MatchNodeKey(QStringLiteral("1-1")), false);
            apply(w.get(), QStringLiteral("tick=3"));
            w->actPPCDel->trigger();
            QCOMPARE(lines(w->lsbMsgList), QStringList{u("강남역사거리 - 선택삭제 : 성공(360)")});
        }
        QList<QByteArray> got;
        for (const rcsim::CapturedPacket &p : big.captured())
            if (p.control && !p.head.isClosing())
                got << req(p.head.opcode, p.head.kind, p.head.target, p.data);
        SetServerBigEndian(false);
        SetCtrlEndpointOverride(&FEndpoint);
        QCOMPARE(got.size(), 3);
        QCOMPARE(got.at(0), req(0x56, 1, 1, hex("0256") + firmwareRecord(10101, 0, 0)));
        QCOMPARE(got.at(1), req(0x56, 1, 16, hex("0256") + firmwareRecord(10201, 0, 0)));
        QCOMPARE(got.at(2), req(0x50, 1, 16, hex("0250") + record(35, {{27, 1}, {31, 0x68}, {32, 0x01}})));
    }

    // ------------------------------------------------------------------ groups

    void groupCommands_data()
    {
        QTest::addColumn<QList<int>>("groups");
        QTest::addColumn<int>("oprItem");
        QTest::addColumn<int>("todItem");
        QTest::addColumn<QList<int>>("man");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QList<QByteArray>>("sent");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("shown");
        const QString gm = u("그룹운영모드 설정"), gt = u("그룹 TOD/TRC 설정"), gc = u("그룹 MAN제어");
        QTest::newRow("centre mode") << QList<int>{1} << 0 << 0 << QList<int>{1, 1, 1} << "actSaOpr"
                                     << QList<QByteArray>{req(0xE6, 2, 1, hex("80"))}
                                     << QStringList{ev(64, 2, 0, 1, gm + u(":성공"))}
                                     << QStringList{u("도산대로 축 - ") + gm + u(", 리턴값=센터모드")};
        QTest::newRow("local mode to two groups") << QList<int>{1, 3} << 1 << 0 << QList<int>{1, 1, 1} << "actSaOpr"
                                                  << QList<QByteArray>{req(0xE6, 2, 1, hex("40")), req(0xE6, 2, 3, hex("40"))}
                                                  << QStringList{ev(64, 2, 1, 1, gm + u(":성공")), ev(64, 2, 1, 3, gm + u(":성공"))}
                                                  << QStringList{u("도산대로 축 - ") + gm + u(", 리턴값=로컬모드"),
                                                                 u("도곡로 축 - ") + gm + u(", 리턴값=로컬모드")};
        QTest::newRow("TOD") << QList<int>{2} << 0 << 0 << QList<int>{1, 1, 1} << "actSaTodTrc"
                             << QList<QByteArray>{req(0xEA, 2, 2, hex("00"))}
                             << QStringList{ev(68, 2, 0, 2, gt + u(":성공"))}
                             << QStringList{u("테헤란로 축 - ") + gt + u(", 리턴값=TOD")};
        QTest::newRow("TRC") << QList<int>{4} << 0 << 1 << QList<int>{1, 1, 1} << "actSaTodTrc"
                             << QList<QByteArray>{req(0xEA, 2, 4, hex("01"))}
                             << QStringList{ev(68, 2, 1, 4, gt + u(":성공"))}
                             << QStringList{u("남부순환로 축 - ") + gt + u(", 리턴값=TRC")};
        QTest::newRow("manual control") << QList<int>{2} << 0 << 0 << QList<int>{6, 16, 9} << "actSaMan"
                                        << QList<QByteArray>{req(0xEC, 2, 2, hex("061009"))}
                                        << QStringList{ev(67, 2, 0, 2, gc + u("(C:6, P:16, O:9):성공"))}
                                        << QStringList{u("테헤란로 축 - ") + gc + u(", 리턴값=주기:6, 현시:16, 옵셋:9")};
    }

    void groupCommands()
    {
        QFETCH(QList<int>, groups);
        QFETCH(int, oprItem);
        QFETCH(int, todItem);
        QFETCH(QList<int>, man);
        QFETCH(QString, action);
        QFETCH(QList<QByteArray>, sent);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, shown);
        reset();
        TfrmSA_C_Control w;
        w.show();
        QVERIFY(w.VST->topLevelItemCount() >= 4);
        for (int g : groups)
            w.MatchSaNodeId(g)->setCheckState(0, Qt::Checked);
        w.grpSaOpr->SetItemIndex(oprItem);
        w.grpSaTodTrc->SetItemIndex(todItem);
        w.edtCycleNo->setValue(man.at(0));
        w.edtPhaseNo->setValue(man.at(1));
        w.edtOffsetNo->setValue(man.at(2));
        FMsg->enqueue(mrYes);
        w.findChild<QAction *>(action)->trigger();
        QCOMPARE(requests(), sent);
        rows.sort();
        QCOMPARE(events(), rows);
        QCOMPARE(lines(w.lsbMsgList), shown);
        for (const QString &line : shown)
            QVERIFY(FLog->Lines().contains(QStringLiteral(">> ") + line.section(QStringLiteral(" - "), 1)));
    }

    void groupFailures_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("texts");
        using F = rcsim::FailMode;
        const QString connect = u("RC연결 실패"), send = u("데이터전송 실패"), receive = u("데이터수신 실패"),
                      size = u("수신데이터 크기 에러");
        for (const char *a : {"actSaOpr", "actSaTodTrc", "actSaMan"}) {
            const QString n = QLatin1String(a);
            QTest::newRow(qPrintable(n + " refused")) << int(F::Refuse) << n << QStringList{connect};
            QTest::newRow(qPrintable(n + " closed mid-reply")) << int(F::CloseMidReply) << n << QStringList{receive};
            QTest::newRow(qPrintable(n + " stalled")) << int(F::Stall) << n << QStringList{receive};
            QTest::newRow(qPrintable(n + " oversized")) << int(F::OversizedData) << n << QStringList{receive};
            QTest::newRow(qPrintable(n + " reset on accept")) << int(F::ResetOnAccept) << n << QStringList{send, receive, connect};
            QTest::newRow(qPrintable(n + " wrong opcode")) << int(F::WrongOpcode) << n << QStringList{u("리턴값=")};
            QTest::newRow(qPrintable(n + " reset after the reply")) << int(F::ResetAfterReply) << n << QStringList{size};
        }
        QTest::newRow("mode short") << int(F::ShortData) << "actSaOpr" << QStringList{size, receive};
        QTest::newRow("manual short") << int(F::ShortData) << "actSaMan" << QStringList{size};
    }

    void groupFailures()
    {
        QFETCH(int, mode);
        QFETCH(QString, action);
        QFETCH(QStringList, texts);
        reset();
        TfrmSA_C_Control w;
        w.SetSaID(2);
        w.show();
        QCOMPARE(w.CheckedSaIds(), QList<int>{2});
        FSim->setFailure(rcsim::FailMode(mode), rcsim::PortScope::Control);
        FMsg->enqueue(mrYes);
        {
            // With the reset after the reply, the cut comes before the closing packet
            // (on a loaded machine the closing packet could leave first).
            std::optional<TestRcSim::TCutBeforeNextWrite> order;
            if (mode == int(rcsim::FailMode::ResetAfterReply))
                order.emplace(FSim.get(), QStringLiteral(",RESULT,"));
            w.findChild<QAction *>(action)->trigger();
        }
        FSim->clearFailure();
        verifyFailureLine(w.lsbMsgList, texts);
        if (QTest::currentTestFailed())
            return;
        const QStringList rows = events();
        QCOMPARE(rows.size(), 1);
        QVERIFY2(rows.first().endsWith(u(":실패")), qPrintable(rows.first()));
    }

    void group200()
    {
        reset();
        QSqlQuery q(FDb);
        QVERIFY(q.exec(QStringLiteral("INSERT INTO SCS_M_SAOPERATE (SA_NO, SA_NAME, SA_REGFLAG) VALUES (200, 'G200', 1)")));
        {
            TfrmSA_C_Control w;
            w.SetSaID(200);
            w.show();
            QCOMPARE(w.CheckedSaIds(), QList<int>{200});
            QCOMPARE(w.VST->currentItem()->text(0), QStringLiteral("0200 G200"));
            FMsg->enqueue(mrYes);
            w.actSaTodTrc->trigger();
            QCOMPARE(requests(), QList<QByteArray>{req(0xEA, 2, 200, hex("00"))});
            QCOMPARE(events(), QStringList{ev(68, 2, 0, 200, u("그룹 TOD/TRC 설정:성공"))});
        }
        QVERIFY(q.exec(QStringLiteral("DELETE FROM SCS_M_SAOPERATE WHERE SA_NO = 200")));
    }

    void groupNothingChecked()
    {
        reset();
        TfrmSA_C_Control w;
        w.show();
        QVERIFY(w.CheckedSaIds().isEmpty());
        w.actSaMan->trigger();
        QCOMPARE(FMsg->count(), 1);
        QCOMPARE(FMsg->last().text, u("제어대상 그룹을 선택(체크)하세요."));
        QVERIFY(requests().isEmpty());
        // Select all checks every group without selecting them.
        w.actSelAllNodeExecute();
        QCOMPARE(w.CheckedSaIds().size(), w.VST->topLevelItemCount());
    }

    void groupCloseWaitsForTheRun()
    {
        reset();
        TfrmSA_C_Control w;
        w.show();
        w.MatchSaNodeId(1)->setCheckState(0, Qt::Checked);
        w.MatchSaNodeId(2)->setCheckState(0, Qt::Checked);
        FSim->setFailure(rcsim::FailMode::Stall, rcsim::PortScope::Control);
        QTimer::singleShot(150, &w, [&] { w.close(); });
        FMsg->enqueue(mrYes);
        w.actSaOpr->trigger();
        FSim->clearFailure();
        QCOMPARE(requests().size(), 2);
        QCOMPARE(events().size(), 2);
        QVERIFY(!w.isVisible());
    }
};

QTEST_MAIN(TstControlWindows)
#include "tst_control_windows.moc"
